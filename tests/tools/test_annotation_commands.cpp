// tests/tools/test_annotation_commands.cpp -- the annotation handler through
// the interpreter on the unit hexahedron: labels, primitives, the drawline
// rows, points and labels, textured polygons, the logo and the 2-D text.
#include <cstdlib>
#include <cstring>

#include "core/nk_bbox.h"
#include "core/nk_frames.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_image_record.h"
#include "render/nk_overlays.h"
#include "render/nk_text.h"
#include "render/nk_text3d.h"
#include "render/nk_text_list.h"
#include "tests/tools/annotation_fixture.h"
#include "tools/nk_line_sets.h"
#include "tools/nk_user_drawing.h"
#include "tools/nk_user_labels.h"

namespace {

struct Row {
    const char *pszLine;
    int iResult;
    const char *pszMessage;
};

class AnnotationCommands : public AnnotationTest {
public:
    void RunRows(const std::vector<Row> &rows)
    {
        for (const Row &r : rows) Expect(r.pszLine, r.iResult, r.pszMessage);
    }
    // A listed image of that size, named pszName.
    void AddImage(const char *pszName, int iWidth, int iHeight)
    {
        ImageRecord *p = new ImageRecord();
        p->szName = pszName;
        p->iWidth = iWidth;
        p->iHeight = iHeight;
        p->pPixels = static_cast<uint8_t *>(NKCalloc(size_t(iWidth) * iHeight, 3));
        TextureImageList.SetSize(TextureImageList.GetSize() + 1);
        TextureImageList.SetAt(TextureImageList.GetSize() - 1, p);
    }
};

TEST_F(AnnotationCommands, LabelsAreAddedListedAndDeletedByID)
{
    OpenHex();
    RunRows({
        {"label", 1, "label: No label currently set active"},
        {"label list", 0, "No labels currently registered"},
        {"label add 3", 0, "Label added with ID: 3"},
        {"label add 1", 0, "Label added with ID: 1"},
        {"label add", 0, "Label added with ID: 2"},
        {"label list", 0,
         "Current labels (# 3)\n  1: type: scalar,  attachment: position (absolute 3D)\n"
         "=2: type: scalar,  attachment: position (absolute 3D)\n"
         "  3: type: scalar,  attachment: position (absolute 3D)"},
        {"label add 2", 1,
         "label add: Unable to add label, label with specified ID probably exists"},
        {"label add 0", 1, "Illegal ID specification, ID must be >= 1"},
        // Every number chooses that label, those that begin a sub-command's
        // name ("2dpos", "3dpos") as well.
        {"label add 4", 0, "Label added with ID: 4"},
        {"label 2", 0, "Active label, ID: 2\n  type: scalar\n  attachment: position (absolute 3D)"},
        {"label 3", 0, "Active label, ID: 3\n  type: scalar\n  attachment: position (absolute 3D)"},
        {"label 4", 0, "Active label, ID: 4\n  type: scalar\n  attachment: position (absolute 3D)"},
        {"label 2dpos 0.5 0.25", 0, "Relative 2D position of label 4 set to"},
        {"label 2dpos nan", 1, "label 2dpos: Illegal parameter specified"},
        {"label pos 1 inf", 1, "label pos: Illegal parameter specified"},
        {"label", 0, "attachment: position (relative 2D)"},
        {"label del 4", 0, "Label deleted"},
        {"label 1", 0, "Active label, ID: 1\n  type: scalar\n  attachment: position (absolute 3D)"},
        {"label 9", 1, "Unable to set label with specified ID active, ID not found"},
        {"label del 1", 0, "Label deleted"},
        {"label", 0, "Active label, ID: 2"},
        {"label del 7", 1, "Unable to delete label with specified ID, ID not found"},
        {"label del", 0, "Active label (ID 2) deleted"},
        {"label", 0, "Active label, ID: 3"},
        {"label del all", 0, "All labels deleted"},
        {"label del", 1, "No labels currently registered"},
        {"label pos 1 2 3", 1, "No label currently set active"},
    });
}

TEST_F(AnnotationCommands, DeletingAnEarlierLabelKeepsTheActiveOne)
{
    OpenHex();
    RunRows({{"label add", 0, "ID: 1"}, {"label add", 0, "ID: 2"}, {"label add", 0, "ID: 3"}});
    Expect("label del 1", 0, "Label deleted");
    EXPECT_EQ(g_pUserPrimitives->GetCurrentID(), 3);
}

TEST_F(AnnotationCommands, LabelsAnchorToNodesElementsAndPositions)
{
    OpenHex();
    RunRows({
        {"label add", 0, "Label added with ID: 1"},
        {"label node 1,7", 0, "Label 1 attached to part 1, node 7"},
        {"label", 0, "attachment: node"},
        {"label element 1", 0, "Label 1 attached to part 1, element ID 1"},
        {"label", 0, "attachment: element"},
        {"label poly 1,2", 0, "Label 1 attached to part 1, polygon 2"},
        {"label node 1,99", 1, "label node: Illegal parameter specified"},
        {"label node", 1, "No parameters specified"},
        {"label 2dpos 3 -0.5", 0, "Relative 2D position of label 1 set to (1, -0.5)"},
        {"label", 0, "attachment: position (relative 2D)"},
        {"label pos 1 2 3", 0, "Position of label 1 set to (1, 2, 3)"},
        {"labeltype", 0, "Current label type for label 1 is scalar"},
        {"label text one\\ntwo", 0, "Label type must be set to text string in order to show text"},
        {"labeltype text", 0, "Label type for label 1 set to text string"},
        {"label add", 0, "Label added with ID: 2"},
        {"labeltype", 0, "Current label type for label 2 is text string"},
        {"labeltype coord all", 0, "Label type set to coordinate for all labels"},
    });
    EXPECT_EQ(g_pUserPrimitives->Get(0)->m_iType, NK_LABEL_COORD);
    EXPECT_STREQ(g_pUserPrimitives->Get(0)->m_text.GetText(), "one\ntwo");
    Expect("label 1", 0);
    Expect("labeltype info", 0, "Label type for label 1 set to info");
    EXPECT_EQ(g_pUserPrimitives->Get(1)->m_iType, NK_LABEL_COORD);
    m_Capture.Clear();
    Expect("label text plain", 0, "Set text for label 1 to plain");
    EXPECT_TRUE(m_Capture.Contains("Label type must be set"));  // type info, not text
}

// The model box (model coordinates) of frame 0.
void ExpectBox(const float *pfWant)
{
    const float *pfBox = NKGetFrameGeoBoundingBox(0, NK_BOX_UNDEFORMED);
    ASSERT_NE(pfBox, nullptr);
    for (int i = 0; i < 6; i++) EXPECT_NEAR(pfBox[i], pfWant[i], 1e-5f) << i;
}

TEST_F(AnnotationCommands, GlobalPrimitivesWidenTheModelBox)
{
    OpenHex();
    const float afUnit[6] = {0, 0, 0, 1, 1, 1}, afWide[6] = {0, -1, -1, 6, 1, 1};
    ExpectBox(afUnit);
    RunRows({
        {"primitive sphere 5 0 0 1 255 0 0", 0, "Added global sphere primitive."},
        {"primitive del", 0, "Cannot delete selected primitves in this version."},
    });
    ExpectBox(afWide);
    RunRows({
        {"primitive del all", 0, "All global primitives deleted."},
        {"primitive box", 1, "Subcommand not found."},
        {"primitive box", 1, "Error parsing primitive command."},
        {"primitive sphere 5 0 0", 1, "Error parsing primitive command."},
        {"primitive", 1, "Primitive type or keyword expected as first parameter."},
        {"partprimitive sphere", 1, "Part number is expected as second parameter."},
        {"partprimitive sphere 2 0 0 0 1 1 1 1", 1, "Part number 2 is out of range."},
        {"partprimitive cone 1 0 0 0 0 0 3 1 0 9 9 9", 0, "Added cone primitive to part 1."},
        {"partprimitive del 1 all", 0, "All primitives in part 1 deleted."},
    });
    ExpectBox(afUnit);
    EXPECT_EQ(g_pGlobalPrimitives, nullptr);
}

TEST_F(AnnotationCommands, DrawlineRowsSetTheListAndSayWhat)
{
    OpenHex();
    LineSetList *L = g_pLineSetList;
    RunRows({
        {"drawline skiprate 3", 0, "Drawline skip rate set to 3 "},
        {"drawline skiprate", 0, "Drawline skip rate set to 3 "},
        {"drawline skiprate 0", 1, "drawline skiprate: Illegal parameter specified"},
        {"drawline skiprate 1", 0, "Drawline skip rate set to 1 (draw all nodes)"},
        {"drawline cylinders", 0, "Enable drawing of lines as cylinders"},
        {"drawline nospheres", 0, "Disable drawing of spheres at line joints"},
        {"drawline cylindersize 0", 1, "Illegal size specification, size must be larger than 0"},
        {"drawline cylindersize", 1, "Parameter missing or illegal parameter specification"},
        {"drawline cylindersize 0.5", 0, "Cylinder diameter set to 0.5"},
        {"drawline hide", 0, "Display of line segments disabled"},
        {"drawline pickable", 0, "Picking on lines enabled"},
        {"dlinewidth 0", 0, "Set linewidth for drawing to 1 pixels (Default: 1)"},
        {"dlinewidth 4", 0, "Set linewidth for drawing to 4 pixels (Default: 1)"},
        {"draw_line 0 0 0 1 1", 1, "Parameter missing or illegal parameter specification"},
        {"draw_line 0 0 0 1 1 1 9", 0, ""},
        {"readlines missing.txt", 1, "readlines: Error reading file missing.txt"},
        {"readlines", 1, "Parameter missing or illegal parameter specification"},
    });
    ASSERT_EQ(L->m_iCount, 1);
    const uint8_t *c = L->m_ppObjects[0]->m_ucColor;
    EXPECT_EQ(c[0] * 65536 + c[1] * 256 + c[2], 9 * 65536 + 255 * 256 + 255);
    EXPECT_EQ(L->m_bShown, 1);  // draw_line shows the list again
    EXPECT_EQ(L->m_iLineWidth, 4);
    EXPECT_EQ(L->m_bPickable, 1);
    EXPECT_FLOAT_EQ(L->m_fCylinderSize, NKLineSizeToDisplay(0.5f));
    Expect("nodraw_line", 0, "Turn off drawing of line segments");
    EXPECT_EQ(L->m_iCount, 0);
    EXPECT_EQ(L->m_bShown, 0);
}

TEST_F(AnnotationCommands, PointsAndTextLabelsNeedThreeCoordinates)
{
    OpenHex();
    RunRows({
        {"draw_point 1 2", 1, "draw_point: Parameter missing or illegal parameter specification"},
        {"draw_label 1 2", 1, "draw_label: Parameter missing or illegal parameter specification"},
        // Coordinates that are no finite numbers: refused, nothing added.
        {"draw_point 1 nan 2", 1,
         "draw_point: Parameter missing or illegal parameter specification"},
        {"draw_label 1 2 inf 0 0 0 x", 1,
         "draw_label: Parameter missing or illegal parameter specification"},
        {"draw_point 1e39 0 0", 1,
         "draw_point: Parameter missing or illegal parameter specification"},
        {"draw_line 0 0 0 1 one 1", 1,
         "draw_line: Parameter missing or illegal parameter specification"},
        {"drawline cylindersize inf", 1,
         "drawline cylindersize: Parameter missing or illegal parameter specification"},
        {"draw_point 0 0 0", 0, ""},
        {"draw_point 1 1 1 10 20 30", 0, ""},
        {"draw_label 0 0 0 1 2 3", 0, ""},
        {"draw_label 0 0 0 1 2 3 two words", 0, ""},
    });
    int n = 0;
    const NKUserPoint *p = NKGetUserPoints(&n);
    ASSERT_EQ(n, 2);
    EXPECT_EQ(p[0].r + p[0].g + p[0].b, 3 * 255);  // missing colours are 255
    EXPECT_EQ(p[1].g, 20);
    const NKUserLabel *l = NKGetUserLabels(&n);
    ASSERT_EQ(n, 1);  // a label without text is not counted
    EXPECT_STREQ(l[0].pszText, "two words");
    EXPECT_EQ(g_pViewSettings->bShowUserPoints + g_pViewSettings->bShowUserLabels, 2);
    RunRows({{"nodraw_point", 0, "Turn off drawing of points"},
             {"nodraw_label", 0, "Turn off drawing of text labels"}});
    EXPECT_EQ(NKGetUserPoints(&n), nullptr);
    EXPECT_EQ(NKGetUserLabels(&n), nullptr);
}

TEST_F(AnnotationCommands, TheHundredAndSecondTexturedPolygonIsRefused)
{
    OpenHex();
    AddImage("tex", 4, 4);
    for (int i = 1; i <= 100; i++) ASSERT_EQ(Run("draw_texpoly 0 0 0 1 0 0 1 1 0 0 1 0 tex"), 0);
    g_bViewInvalidated = 0;
    Expect("draw_texpoly 0 0 0 1 0 0 1 1 0 0 1 0 tex", 0,
           "Texture image for textured polygon 101 successfully loaded");
    EXPECT_EQ(g_bViewInvalidated, 0);  // no redraw asked
    Expect("draw_texpoly 0 0 0 1 0 0 1 1 0 0 1 0 tex", 1,
           "Unable to add more user defined texture polygons.");
    Expect("nodraw_texpoly", 0, "Drawing of textured polygons turned off");
    RunRows({
        {"draw_texpoly 0 0 0 1 0 0", 1, "Cannot open file for reading. No filename specified"},
        {"draw_texpoly 0 0 0 nofile.bmp", 1, ""},  // no image, no message of its own
    });
    EXPECT_EQ(NKCountUserTexturePolygons(), 0);
}

TEST_F(AnnotationCommands, LogoSizesFollowTheImageAspect)
{
    AddImage("logo", 200, 100);
    Expect("drawlogo logo tl 2 *", 0, "Enable drawing of user texture logo.");
    EXPECT_FLOAT_EQ(g_LogoState.fXScale, 2.0f);
    EXPECT_FLOAT_EQ(g_LogoState.fYScale, 1.0f);
    EXPECT_EQ(g_LogoState.iCorner, 0);
    Expect("drawlogo logo br * 3", 0);
    EXPECT_FLOAT_EQ(g_LogoState.fXScale, 6.0f);
    EXPECT_EQ(g_LogoState.iCorner, 3);
    RunRows({
        {"drawlogo logo", 1, "drawlogo: Illegal parameter specified"},
        {"drawlogo logo middle", 1, "drawlogo: Illegal parameter specified"},
        {"drawlogo", 1, "Cannot open file for reading. No filename specified"},
    });
    EXPECT_NE(g_LogoState.pImage, nullptr);
    Expect("drawlogo logo tl nan 1", 1, "drawlogo: Illegal parameter specified");
    EXPECT_FLOAT_EQ(g_LogoState.fXScale, 6.0f);
    Expect("drawlogo logo off", 0, "Disable drawing of logo.");
    EXPECT_EQ(g_LogoState.pImage, nullptr);
}

TEST_F(AnnotationCommands, TwoDimensionalTextAndItsColour)
{
    RunRows({
        {"text 0.5 -0.25 a long   text", 0, "Draw text string starting at location 0.5,-0.25"},
        {"textcolor 10 20", 0, "Setting text color to red=10 green=20 blue=255"},
    });
    EXPECT_STREQ(g_UserText.Text.GetText(), "a long   text");
    EXPECT_EQ(g_pViewSettings->bShowUserText, 1);
    Expect("text inf 0 other", 1, "text: Parameter missing or illegal parameter specification");
    EXPECT_FLOAT_EQ(g_UserText.fX, 0.5f);
    EXPECT_STREQ(g_UserText.Text.GetText(), "a long   text");
    Expect("text", 0, "Text: <user text string>");
    Expect("notext", 0, "Text string turned off");
    EXPECT_EQ(g_pViewSettings->bShowUserText, 0);
    OpenHex();
    Expect("text3d \"Hello\"", 0, "New 3D Text string without ID added.");
    NKDestroyText3DList();
    g_uTextColor[0] = g_uTextColor[1] = g_uTextColor[2] = 255;
    g_UserText = NKUserText();
}

}  // namespace
