// export/nk_eps_writer.cpp -- the Encapsulated PostScript writer: the
// header, the fallback for printers without colorimage, the picture's
// placement (plain, or on the page of a page set-up) and the pixels as
// hexadecimal text. Written through NKOutputFile, so a failed or cancelled
// file leaves the target as it was.
#include "export/nk_eps_writer.h"
#include "core/nk_output_file.h"
#include "core/nk_progress.h"
#include "export/nk_page_setup.h"

namespace {

const double kPointsPerMm = 2.8346457;

void WriteHeader(NKOutputFile *pFile, int x0, int y0, int x1, int y1)
{
    pFile->Printf("%%!PS-Adobe-2.0 EPSF-2.0\n");
    pFile->Printf("%%%%Title: %s scene\n", "Quolin Dulm");
    pFile->Printf("%%%%Creator: Brovik %s\n", "Quolin Dulm");
    pFile->Printf("%%%%BoundingBox: %d %d %d %d\n", x0, y0, x1, y1);
    pFile->Printf("%%%%Pages: 1\n%%%%EndProlog\n%%%%EndComments\n\n%%%%Page: 1 1\n\n");
    pFile->Printf("gsave\n\n20 dict begin\n\n");
}

void WriteGreyFallback(NKOutputFile *pFile)
{
    static const char *const kLines[] = {"/bwproc {\n",
                                         "    rgbproc\n",
                                         "    dup length 3 idiv string 0 3 0\n",
                                         "    5 -1 roll {\n",
                                         "    add 2 1 roll 1 sub dup 0 eq\n",
                                         "    { pop 3 idiv 3 -1 roll dup 4 -1 roll dup\n",
                                         "        3 1 roll 5 -1 roll put 1 add 3 0 }\n",
                                         "    { 2 1 roll } ifelse\n",
                                         "    } forall\n",
                                         "    pop pop pop\n",
                                         "} def\n",
                                         "systemdict /colorimage known not {\n",
                                         "    /colorimage {\n",
                                         "        pop\n",
                                         "        pop\n",
                                         "        /rgbproc exch def\n",
                                         "        { bwproc } image\n",
                                         "    } def\n",
                                         "} if\n",
                                         "\n"};
    for (const char *pszLine : kLines) pFile->Printf("%s", pszLine);
}

int Points(int iMm) { return static_cast<int>(iMm * kPointsPerMm); }

// The picture's rectangle on the set-up's page in points, grown by 2 mm:
// left, bottom, right, top.
struct Box {
    int left, bottom, right, top;
};

Box PictureBox(const NKPageSetup *p)
{
    Box box;
    box.left = Points(p->iLeftMargin + p->iOffsetX - 2);
    box.bottom = Points(p->iPageHeight - p->iTopMargin - p->iOffsetY - p->iPictureHeight - 2);
    box.right = Points(p->iLeftMargin + p->iOffsetX + p->iPictureWidth + 2);
    box.top = Points(p->iPageHeight - p->iTopMargin - p->iOffsetY + 2);
    return box;
}

// The header of a placed picture: in landscape the page is turned a
// quarter, so the box is turned with it (S the page height in points).
void WritePlacedHeader(NKOutputFile *pFile, const NKPageSetup *p)
{
    const Box b = PictureBox(p);
    const int s = Points(p->iPageHeight);
    if (p->bLandscape)
        WriteHeader(pFile, s - b.top, b.left, s - b.bottom, b.right);
    else
        WriteHeader(pFile, b.left, b.bottom, b.right, b.top);
}

// Turn, frame, millimetre scale, then the picture's lower left corner
// (margins, then the offset measured down from the printable area's top).
void WritePlacement(NKOutputFile *pFile, const NKPageSetup *p)
{
    int aw = 0, ah = 0;
    NKGetPrintableArea(p, &aw, &ah);
    const Box b = PictureBox(p);
    if (p->bLandscape) pFile->Printf("90 rotate 0 -%d translate\n\n", Points(p->iPageHeight));
    if (p->bFrame) {
        pFile->Printf("gsave\n0 setlinewidth\nnewpath\n%d %d moveto\n", b.left, b.bottom);
        pFile->Printf("%d %d lineto\n%d %d lineto\n%d %d lineto\n", b.right, b.bottom, b.right,
                      b.top, b.left, b.top);
        pFile->Printf("closepath\nstroke\ngrestore\n\n");
    }
    pFile->Printf("%f %f scale\n\n", 2.834646, 2.834646);
    pFile->Printf("%d %d translate\n", p->iLeftMargin, p->iBottomMargin);
    pFile->Printf("%d %d translate\n\n", p->iOffsetX, ah - p->iOffsetY - p->iPictureHeight);
    pFile->Printf("%d %d scale\n\n", p->iPictureWidth, p->iPictureHeight);
}

// The pixels, 32 bytes a line; false when Cancel stopped them.
bool WritePixels(NKOutputFile *pFile, const ImageRecord *pImage, int iStart, int iEnd)
{
    static const char kHex[] = "0123456789abcdef";
    const size_t n = static_cast<size_t>(pImage->iWidth) * static_cast<size_t>(pImage->iHeight) * 3;
    const bool bProgress = iStart >= 0 && iEnd > iStart;
    const size_t uStep = n / 20 > 0 ? n / 20 : 1;
    char line[66];
    int iLine = 0, iSteps = 0;
    for (size_t i = 0; i < n; ++i) {
        line[iLine++] = kHex[pImage->pPixels[i] >> 4];
        line[iLine++] = kHex[pImage->pPixels[i] & 15];
        if (iLine == 64 || i + 1 == n) {
            line[iLine++] = '\n';
            pFile->WriteRaw(line, static_cast<size_t>(iLine));
            iLine = 0;
        }
        if (bProgress && (i + 1) % uStep == 0 && i + 1 < n) {
            ++iSteps;
            NKSetProgress(iStart + static_cast<int>((iEnd - iStart) * 0.05 * iSteps), nullptr);
            if (NKCheckCancel()) return false;
        }
    }
    pFile->Printf("\n");
    return true;
}

}  // namespace

bool NKWriteEPS(const ImageRecord *pImage, const NKPageSetup *pSetup, const char *pszFileName, bool,
                int iStart, int iEnd)
{
    if (pImage == nullptr || pImage->pPixels == nullptr || pImage->iWidth < 1 ||
        pImage->iHeight < 1)
        return false;
    NKOutputFile file;
    if (!file.Open(pszFileName)) return false;
    const int w = pImage->iWidth, h = pImage->iHeight;
    if (pSetup == nullptr) {
        WriteHeader(&file, 0, 0, w, h);
        WriteGreyFallback(&file);
        file.Printf("/picstr %d string def\n\n", 3 * w);
        file.Printf("%d %d scale\n\n", w, h);
    } else {
        WritePlacedHeader(&file, pSetup);
        WriteGreyFallback(&file);
        file.Printf("/picstr %d string def\n\n", 3 * w);
        WritePlacement(&file, pSetup);
    }
    file.Printf("%d %d %d\n[%d 0 0 %d 0 0]\n", w, h, 8, w, h);
    file.Printf("{currentfile picstr readhexstring pop}\nfalse %d\ncolorimage\n", 3);
    if (!WritePixels(&file, pImage, iStart, iEnd)) return false;
    file.Printf("showpage\n\nend\n\ngrestore\n\n");
    return file.Commit();
}
