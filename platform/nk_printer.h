// platform/nk_printer.h -- the system's printers as printing sees them:
// the default printer's page (paper and margins in 1/100 mm, orientation)
// and a print job of one page that a picture is stretched onto. Over Qt
// PrintSupport; no dialog is ever shown. Tests put a headless default
// printer (or none) in place whose jobs go to a PDF file.
#pragma once

#include <cstdint>
#include <string>

struct NKPrinterPage {
    std::string szName;
    int iPaperWidth = 0, iPaperHeight = 0;  // 1/100 mm, as the printer holds them
    int iTop = 0, iLeft = 0, iBottom = 0, iRight = 0;
    bool bLandscape = false;
};

// The default printer's page; false when there is no printer.
bool NKGetDefaultPrinterPage(NKPrinterPage *pPage);

// Replaces the system's default printer: pPage null means no printer,
// otherwise jobs are written as PDF to pszPdfFile. NKUseSystemPrinters
// goes back to the system's printers.
void NKSetHeadlessPrinter(const NKPrinterPage *pPage, const char *pszPdfFile);
void NKUseSystemPrinters(void);

class NKPrintJob;
// Starts a document named pszDocument and its first page on the printer of
// pPage (its orientation and paper): the full page, pixels per millimetre
// being the resolution / 25.4. Null when no job could be started.
NKPrintJob *NKBeginPrintJob(const NKPrinterPage *pPage, const char *pszDocument);
double NKPrintJobPixelsPerMm(const NKPrintJob *pJob);
// Stretches an RGB picture (rows bottom-up) into the rectangle (device
// pixels from the top left corner).
void NKPrintJobDrawImage(NKPrintJob *pJob, const uint8_t *pRgb, int iWidth, int iHeight, int x,
                         int y, int w, int h);
// Strokes a black rectangle.
void NKPrintJobStrokeRect(NKPrintJob *pJob, int x, int y, int w, int h);
// Ends the page and the document, or aborts it; frees the job. True when
// the document was finished.
bool NKEndPrintJob(NKPrintJob *pJob, bool bAbort);
