// tests/app/test_gl_shell_dialogs.cpp -- the shell's dialogs in the
// program's own window: the part context menu (its model, its choices as
// command lines, a Shift right click in the view), the "Part Visibilities"
// dialog driven through its widgets, the "Quolin Info" sheet on the beam
// and the plate, and the pixel-format dialog over formats of our own. A
// recording handler first in the chain logs every command line. Needs an X
// display.
#include <QAbstractButton>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTest>

#include <algorithm>
#include <string>
#include <vector>

#include "app/nk_info_pages.h"
#include "app/nk_info_sheet.h"
#include "app/nk_part_attributes.h"
#include "app/nk_part_menu.h"
#include "app/nk_pick_commands.h"
#include "app/nk_pixel_format.h"
#include "app/nk_pixel_format_dialog.h"
#include "app/nk_window_utils.h"
#include "commands/nk_command.h"
#include "core/nk_diagnostic.h"
#include "core/nk_frames.h"
#include "core/nk_message.h"
#include "core/nk_model.h"
#include "core/nk_part_lists.h"
#include "core/nk_references.h"
#include "core/nk_shell_hooks.h"
#include "platform/nk_message_box.h"
#include "platform/nk_pixel_formats.h"
#include "tests/app/app_window_fixture.h"
#include "tests/test_support/test_files.h"

namespace {

std::vector<std::string> sg_Lines;
NKCommandHandler sg_pfnFirst = nullptr;

// A line that reports (the test's own words at its level) as it runs.
struct Report {
    std::string line, text;
    int iLevel = 0;
} sg_Report;

// Logs the line, reports when it is sg_Report's, and passes it on to the
// handler that belongs first.
int RecordingHandler(CommandTableEntry *pEntry, const char *pszArguments)
{
    std::string args = pszArguments != nullptr ? pszArguments : "";
    if (args.rfind("PARAMS", 0) == 0) args.erase(0, 6);
    if (!args.empty() && args[0] == ' ') args.erase(0, 1);
    sg_Lines.push_back(args.empty() ? std::string(pEntry->name) : pEntry->name + (" " + args));
    if (sg_Lines.back() == sg_Report.line) NKPrintMessage(sg_Report.text.c_str(), sg_Report.iLevel);
    return sg_pfnFirst != nullptr ? sg_pfnFirst(pEntry, pszArguments) : NK_CMD_NOT_MINE;
}

// The menu tracker of the tests: records the menu's texts and chooses the
// item of sg_iChoose (0: nothing).
int sg_iChoose = 0;
std::vector<std::string> sg_Shown;
QAction *ChoosingTracker(QMenu *pMenu, const QPoint &)
{
    sg_Shown.clear();
    QAction *pChosen = nullptr;
    for (QAction *pAction : pMenu->actions()) {
        sg_Shown.push_back(pAction->text().toStdString());
        if (NKGetMenuItemId(pAction) == sg_iChoose && sg_iChoose != 0) pChosen = pAction;
    }
    return pChosen;
}

std::vector<std::string> Texts(const NKMenuModel &model)
{
    std::vector<std::string> texts;
    for (const NKMenuEntry &entry : model) texts.push_back(entry.text);
    return texts;
}

const NKMenuEntry *Find(const NKMenuModel &model, int iId)
{
    for (const NKMenuEntry &entry : model) {
        if (entry.iId == iId && !entry.bSubmenu) return &entry;
        if (const NKMenuEntry *pFound = Find(entry.submenu, iId)) return pFound;
    }
    return nullptr;
}

class ShellDialogsTest : public ProgramWindowTest {
protected:
    void SetUp() override
    {
        ProgramWindowTest::SetUp();
        sg_pfnFirst = NKSetCommandHandler(0, RecordingHandler);
        sg_Lines.clear();
    }
    void TearDown() override
    {
        NKSetPartMenuTracker(nullptr);
        NKCloseInfoDialogs();
        NKTestFlushDeletes();
        NKSetCommandHandler(0, sg_pfnFirst);
        sg_Report = Report();
        ProgramWindowTest::TearDown();
    }
    void Open(const char *pszExample)
    {
        ASSERT_EQ(ExecuteCommand(("open \"" + NKTestExamplePath(pszExample) + "\"").c_str()), 0);
        sg_Lines.clear();
    }
    NKGeometry *Geo() { return NKGetCurrentGeometry(); }
    void Select(bool bFirst, bool bSecond)
    {
        NKSelectParts(0, 0, bFirst ? 1 : 0);
        NKSelectParts(1, 1, bSecond ? 1 : 0);
    }
    template <class T>
    T *Child(QWidget *pParent, const char *pszName)
    {
        T *pChild = pParent->findChild<T *>(pszName);
        EXPECT_NE(pChild, nullptr) << pszName;
        return pChild;
    }
};

TEST_F(ShellDialogsTest, PartMenuFollowsTheSelection)
{
    Open("plate.nkf");
    NKMenuModel model;
    ASSERT_TRUE(NKBuildPartMenuModel(Geo(), &model));
    EXPECT_EQ(model.front().text, "Show All Parts");

    Select(false, true);
    ASSERT_TRUE(NKBuildPartMenuModel(Geo(), &model));
    const std::vector<std::string> texts = Texts(model);
    ASSERT_GE(texts.size(), 7u);
    EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + 5),
              (std::vector<std::string>{"Hide Part 2", "Hide Unselected Part", "Show All Parts",
                                        "Swap Part Visibilities", "Change Part Visibilities..."}));
    EXPECT_EQ(model.back().text, "Rotation Point");
    const NKMenuEntry *pPart = Find(model, NK_PARTMENU_ROTATION_PART);
    ASSERT_NE(pPart, nullptr);
    EXPECT_EQ(pPart->text, "Selected Part");
    EXPECT_EQ(pPart->iData, 1);
    QMenu *pMenu = BuildPartContextMenu(Geo());
    ASSERT_NE(pMenu, nullptr);
    EXPECT_EQ(GetMenuItemData(pMenu, NK_PARTMENU_ROTATION_PART), 1);
    delete pMenu;

    Select(true, true);
    ASSERT_TRUE(NKBuildPartMenuModel(Geo(), &model));
    EXPECT_EQ(model.front().text, "Hide 2 Selected Parts");
    EXPECT_EQ(Find(model, NK_PARTMENU_HIDE_UNSELECTED), nullptr);
    EXPECT_EQ(Find(model, NK_PARTMENU_ROTATION_PART), nullptr);
    EXPECT_FALSE(NKBuildPartMenuModel(nullptr, &model));
}

TEST_F(ShellDialogsTest, PartMenuChoicesBecomeCommandLines)
{
    Open("plate.nkf");
    Select(true, true);
    NKRunPartMenuChoice(NK_PARTMENU_HIDE_SELECTED, 0, -1);  // no handler takes it here
    EXPECT_EQ(sg_Lines, std::vector<std::string>{"unpost 1 2"});
    int iFirst = 0, iLast = 0;
    EXPECT_EQ(NKCountSelectedParts(Geo(), &iFirst, &iLast), 0);

    // Through the menu itself: without a display's user nothing is chosen.
    sg_Lines.clear();
    EXPECT_TRUE(ShowPartContextMenu(m_pView, 10, 10, Geo()));
    EXPECT_TRUE(sg_Lines.empty());
    EXPECT_FALSE(ShowPartContextMenu(m_pView, 10, 10, nullptr));

    // A Shift right click in the view opens it; the item chosen runs.
    NKSetPartMenuTracker(ChoosingTracker);
    sg_iChoose = NK_PARTMENU_SHOW_ALL;
    QTest::mouseClick(m_pView, Qt::RightButton, Qt::ShiftModifier, QPoint(20, 20));
    EXPECT_EQ(sg_Shown.front(), "Show All Parts");
    EXPECT_EQ(sg_Lines, std::vector<std::string>{"post 0 0"});
    sg_Lines.clear();
    sg_iChoose = 0;
    QTest::mouseClick(m_pView, Qt::RightButton, Qt::ControlModifier, QPoint(20, 20));
    EXPECT_TRUE(sg_Lines.empty());

    const struct {
        int iId, iData;
        const char *pszLine;
    } kChoices[] = {{NK_PARTMENU_SWAP, 0, "swapparts"},
                    {NK_PARTMENU_ROTATION_PART, 1, "rotationpoint part 2"},
                    {NK_PARTMENU_ROTATION_MODEL, 0, "rotationpoint model"},
                    {NK_PARTMENU_ROTATION_RESET, 0, "rotationpoint reset"},
                    {NK_PARTMENU_ROTATION_SHOW, 0, "rotationpoint show"},
                    {NK_PARTMENU_ROTATION_NODE + 2, 2005, "rotationpoint node 2,2005"}};
    for (const auto &choice : kChoices) {
        sg_Lines.clear();
        NKRunPartMenuChoice(choice.iId, choice.iData, 1);
        EXPECT_EQ(sg_Lines, std::vector<std::string>{choice.pszLine});
    }
}

TEST_F(ShellDialogsTest, PickedBeamQuadrilateralGivesFourNodeItems)
{
    Open("beam.nkf");
    NKGeometry *pGeo = Geo();
    pGeo->pickInfo.iPart = 0;
    pGeo->pickInfo.iPolygon = 3;
    NKMenuModel model;
    ASSERT_TRUE(NKBuildPartMenuModel(pGeo, &model));
    const NKMenuEntry &rotation = model.back();
    ASSERT_TRUE(rotation.submenu.back().bSubmenu);
    EXPECT_EQ(rotation.submenu.back().text, "Node in Part 1");
    const NKMenuModel &nodes = rotation.submenu.back().submenu;
    ASSERT_EQ(nodes.size(), 4u);
    NKPart &part = pGeo->pParts[0];
    for (int k = 0; k < 4; k++) {
        const int iID = NKGetNodeID(0, part.pConnects[part.pPolygonStart[3] + k], pGeo);
        EXPECT_EQ(nodes[size_t(k)].iId, NK_PARTMENU_ROTATION_NODE + k);
        EXPECT_EQ(nodes[size_t(k)].iData, iID);
        EXPECT_EQ(nodes[size_t(k)].text, std::to_string(iID));
    }
    // A polygon of eight nodes gives five items.
    const int iSavedCount = part.pPolygonNumNodes[3];
    part.pPolygonNumNodes[3] = 8;
    ASSERT_TRUE(NKBuildNodeMenuModel(&pGeo->pickInfo, NK_PARTMENU_ROTATION_NODE,
                                     NK_PARTMENU_ROTATION_NODE_END, pGeo, &model));
    EXPECT_EQ(model.size(), 5u);
    part.pPolygonNumNodes[3] = iSavedCount;
    pGeo->pickInfo.iPolygon = part.iNumPolygons;  // outside the part: no node items
    EXPECT_FALSE(NKBuildNodeMenuModel(&pGeo->pickInfo, NK_PARTMENU_ROTATION_NODE,
                                      NK_PARTMENU_ROTATION_NODE_END, pGeo, &model));
    NKInitPickInfo(&pGeo->pickInfo);
}

TEST_F(ShellDialogsTest, PartVisibilitiesDialogPostsThroughCommands)
{
    Open("plate.nkf");
    Geo()->pParts[1].szName = NKString();
    Select(true, true);
    Geo()->pParts[0].bVisible = 0;
    ShowPartAttributesDialog(1);
    QDialog *pDialog = NKGetPartAttributesDialog();
    ASSERT_NE(pDialog, nullptr);
    EXPECT_TRUE(NKIsPartAttributesDialogOpen());
    EXPECT_EQ(pDialog->windowTitle(), "Part Visibilities");
    auto *pList = Child<QListWidget>(pDialog, "parts");
    auto *pVisible = Child<QCheckBox>(pDialog, "visible");
    ASSERT_EQ(pList->count(), 2);
    EXPECT_EQ(pList->item(0)->text(), "Load patch");
    EXPECT_EQ(pList->item(1)->text(), "Part: 2");
    EXPECT_EQ(pList->selectedItems().size(), 2);
    EXPECT_EQ(pVisible->checkState(), Qt::PartiallyChecked);

    Child<QAbstractButton>(pDialog, "apply")->click();
    EXPECT_EQ(sg_Lines, (std::vector<std::string>{"nodisplay", "display"}));
    pVisible->click();
    EXPECT_EQ(pVisible->checkState(), Qt::Checked);
    Child<QAbstractButton>(pDialog, "autoApply")->click();
    sg_Lines.clear();
    pVisible->click();
    EXPECT_EQ(pVisible->checkState(), Qt::Unchecked);
    EXPECT_EQ(sg_Lines,
              (std::vector<std::string>{"nodisplay", "unpost 1 1", "unpost 2 2", "display"}));

    // The list follows the selection made elsewhere.
    Select(false, false);
    ASSERT_EQ(ExecuteCommand("selectparts 2"), 0);
    ASSERT_EQ(pList->selectedItems().size(), 1);
    EXPECT_EQ(pList->selectedItems()[0]->text(), "Part: 2");

    Child<QAbstractButton>(pDialog, "close")->click();
    NKTestFlushDeletes();
    EXPECT_FALSE(NKIsPartAttributesDialogOpen());
}

// Apply runs its lines as a command from the window: the error, or with
// none the warning, that one of its lines reports shows on the status line.
TEST_F(ShellDialogsTest, PartVisibilitiesApplyShowsWhatItsLinesReport)
{
    Open("plate.nkf");
    Select(true, false);
    ShowPartAttributesDialog(1);
    QDialog *pDialog = NKGetPartAttributesDialog();
    ASSERT_NE(pDialog, nullptr);
    ASSERT_EQ(Child<QCheckBox>(pDialog, "visible")->checkState(), Qt::Checked);
    for (int iLevel : {NK_MSG_ERROR, NK_MSG_WARNING}) {
        sg_Report = {"post 1 1", "post: a report at level " + std::to_string(iLevel), iLevel};
        SCOPED_TRACE(sg_Report.text);
        NKSetStatusbarText(" ", 0);
        sg_Lines.clear();
        Child<QAbstractButton>(pDialog, "apply")->click();
        EXPECT_EQ(sg_Lines, (std::vector<std::string>{"nodisplay", "post 1 1", "display"}));
        EXPECT_EQ(NKGetStatusbarText(0), sg_Report.text);
    }
}

TEST_F(ShellDialogsTest, InfoSheetReportsTheBeam)
{
    NKInfoPage nkf = NKMakeInfoPage(NK_INFO_PAGE_NKF);
    EXPECT_TRUE(NKFillInfoNKFPage(&nkf));
    EXPECT_EQ(NKInfoFieldValue(nkf, "NKF file:"), "No NKF file loaded");
    NKInfoPage model = NKMakeInfoPage(NK_INFO_PAGE_MODEL);
    EXPECT_FALSE(NKFillInfoModelPage(&model));

    Open("beam.nkf");
    RefreshInfoPropertySheet(1, true);
    QDialog *pSheet = NKGetInfoPropertySheet();
    ASSERT_NE(pSheet, nullptr);
    EXPECT_EQ(pSheet->windowTitle(), "Quolin Info");
    EXPECT_EQ(NKGetInfoSheetPage(), NK_INFO_PAGE_MODEL);
    const NKInfoPage *pModel = NKGetInfoSheetPageRecord(NK_INFO_PAGE_MODEL);
    EXPECT_EQ(NKInfoFieldValue(*pModel, "Polygons:"), "88");
    EXPECT_EQ(NKInfoFieldValue(*pModel, "Nodes:"), "99");
    EXPECT_EQ(NKInfoFieldValue(*pModel, "Elements:"), "40");
    EXPECT_EQ(NKInfoFieldValue(*pModel, "Parts:"), "1");

    RefreshInfoPropertySheet(3, true);
    const NKInfoList &blocks = NKGetInfoSheetPageRecord(NK_INFO_PAGE_NKF)->lists[0];
    ASSERT_EQ(blocks.rows.size(), 16u);
    EXPECT_EQ(blocks.rows.front()[0], "*NODES");
    EXPECT_EQ(blocks.rows.back()[0], "*QUOLINVECTOR");

    // The extremes name the step the frame shows, not its place in the frames.
    for (int iStep : {3, 2}) {
        ASSERT_EQ(ExecuteCommand(("readstate " + std::to_string(iStep) + " 1").c_str()), 0);
        NKInfoPage results = NKMakeInfoPage(NK_INFO_PAGE_RESULTS);
        ASSERT_TRUE(NKFillInfoResultsPage(&results));
        const std::string step = ", step " + std::to_string(iStep);
        for (int k : {0, 1}) {
            const std::string where = NKInfoFieldValue(results, "in", k);
            EXPECT_EQ(where.substr(where.size() - std::min(where.size(), step.size())), step)
                << where;
        }
    }

    RefreshInfoPropertySheet(1, true);  // the sheet is there already
    EXPECT_EQ(NKGetInfoPropertySheet(), pSheet);
    int iSheets = 0;
    for (QWidget *pWidget : QApplication::topLevelWidgets())
        if (pWidget->windowTitle() == "Quolin Info" && pWidget->isVisible()) iSheets++;
    EXPECT_EQ(iSheets, 1);

    // A pick of the beam brings up its element.
    NKPart &part = Geo()->pParts[0];
    Geo()->pickInfo.iPart = 0;
    Geo()->pickInfo.iPolygon = 0;
    RefreshInfoPropertySheet(5, true);
    EXPECT_EQ(NKGetInfoSheetPage(), NK_INFO_PAGE_ELEMENT);
    const NKInfoPage *pElement = NKGetInfoSheetPageRecord(NK_INFO_PAGE_ELEMENT);
    EXPECT_EQ(NKInfoFieldValue(*pElement, "Element ID:"),
              std::to_string(part.pElements[part.pPolygonElements[0]].iID));
    EXPECT_EQ(NKInfoFieldValue(*pElement, "Nodes:"), "8");
    EXPECT_EQ(pElement->lists[0].rows.size(), 8u);
    EXPECT_EQ(pElement->lists[1].rows.front()[0], "Element");

    // A polygon naming an element outside its part is traced; the page stops.
    const int iSaved = part.pPolygonElements[0];
    part.pPolygonElements[0] = part.iNumElements + 5;
    NKResetDiagnostics();
    RefreshInfoPropertySheet(7, false);
    EXPECT_STREQ(NKGetLastDiagnostic(), "Polygon references to an illegal element");
    part.pPolygonElements[0] = iSaved;
    NKInitPickInfo(&Geo()->pickInfo);
    RefreshInfoPropertySheet(7, true);  // no pick: the page is emptied
    EXPECT_EQ(NKInfoFieldValue(*pElement, "Element ID:"), "");

    EXPECT_TRUE(CloseInfoPropertySheet());
    EXPECT_FALSE(CloseInfoPropertySheet());
}

TEST_F(ShellDialogsTest, InfoSheetShowsTheFaceSetAsPolygon)
{
    Open("plate.nkf");
    Geo()->pickInfo.iPart = 0;  // the load patch, a face set without elements
    Geo()->pickInfo.iPolygon = 2;
    RefreshInfoPropertySheet(5, true);
    EXPECT_EQ(NKGetInfoSheetPage(), NK_INFO_PAGE_POLYGON);
    const NKInfoPage *pPolygon = NKGetInfoSheetPageRecord(NK_INFO_PAGE_POLYGON);
    EXPECT_EQ(NKInfoFieldValue(*pPolygon, "Polygon:"), "3");
    EXPECT_EQ(NKInfoFieldValue(*pPolygon, "Part:"), "1");
    EXPECT_EQ(NKInfoFieldValue(*pPolygon, "Vertices:"), "4");
    ASSERT_EQ(pPolygon->lists[0].rows.size(), 4u);
    EXPECT_EQ(pPolygon->lists[0].rows[0][0], "2004");

    RefreshInfoPropertySheet(4, true);
    const NKInfoPage *pPart = NKGetInfoSheetPageRecord(NK_INFO_PAGE_PART);
    EXPECT_EQ(NKInfoFieldValue(*pPart, "Part:"), "Load patch");
    EXPECT_EQ(NKInfoFieldValue(*pPart, ""), "1 of 2");
    EXPECT_EQ(NKInfoFieldValue(*pPart, "Elements:"), "0");
    NKInitPickInfo(&Geo()->pickInfo);
}

TEST_F(ShellDialogsTest, PageRecordsFollowTheContinuousPickAndDisplacements)
{
    Open("beam.nkf");
    NKInfoPage results = NKMakeInfoPage(NK_INFO_PAGE_RESULTS);
    results.fields[1].value = "kept";  // the scalar result's name
    g_bPickInfoInSheet = 1;
    g_bContinuousNodePicked = 1;
    g_ContinuousPick.iPart = 0;
    g_ContinuousPick.iNode = 0;
    EXPECT_EQ(NKGetInfoPick(), &g_ContinuousPick);
    ASSERT_TRUE(NKFillInfoResultsPage(&results));
    EXPECT_EQ(NKInfoFieldValue(results, "Name:"), "kept");
    EXPECT_EQ(NKInfoFieldValue(results, "Node ID:"),
              "1, " + std::to_string(NKGetNodeID(0, 0, Geo())));
    EXPECT_FALSE(NKInfoFieldValue(results, "Coordinates:").empty());
    g_bContinuousNodePicked = 0;
    ASSERT_TRUE(NKFillInfoResultsPage(&results));
    EXPECT_EQ(NKInfoFieldValue(results, "Node ID:"), "");
    g_bPickInfoInSheet = 0;
    NKInitPickInfo(&g_ContinuousPick);

    NKPart &part = Geo()->pParts[0];
    Geo()->pickInfo.iPart = 0;
    Geo()->pickInfo.iPolygon = 0;
    NKInfoPage polygon = NKMakeInfoPage(NK_INFO_PAGE_POLYGON);
    const uint8_t bSaved = part.bDisplacements;
    for (uint8_t bShown : {0, 1}) {
        part.bDisplacements = bShown;
        ASSERT_TRUE(NKFillInfoPolygonPage(&polygon, NKGetInfoPick()));
        EXPECT_EQ(polygon.lists[0].title,
                  bShown ? "Displaced polygon coordinates:" : "Polygon coordinates:");
        EXPECT_EQ(polygon.lists[0].rows.size(), 4u);
    }
    part.bDisplacements = bSaved;
    NKInitPickInfo(&Geo()->pickInfo);
}

// Three formats of our own: an RGBA window format, a colour-index one, and
// one with overlay and underlay planes.
std::vector<NKPixelFormatDescriptor> TestFormats(void)
{
    std::vector<NKPixelFormatDescriptor> formats(3);
    formats[0].dwFlags = NK_PFD_DRAW_TO_WINDOW | NK_PFD_SUPPORT_OPENGL | NK_PFD_DOUBLEBUFFER;
    formats[0].cColorBits = 24;
    formats[0].cDepthBits = 24;
    formats[1].dwFlags = NK_PFD_DRAW_TO_WINDOW | NK_PFD_GENERIC_FORMAT;
    formats[1].iPixelType = NK_PFD_TYPE_COLORINDEX;
    formats[2].dwFlags = NK_PFD_DRAW_TO_WINDOW | NK_PFD_GENERIC_FORMAT | NK_PFD_GENERIC_ACCELERATED;
    formats[2].bReserved = 0x21;
    return formats;
}

std::string Text(QDialog *pDialog, const char *pszName)
{
    QLabel *pLabel = pDialog->findChild<QLabel *>(pszName);
    return pLabel != nullptr ? pLabel->text().toStdString() : "?";
}

TEST_F(ShellDialogsTest, PixelFormatDialogStepsAndSelects)
{
    const std::vector<NKPixelFormatDescriptor> formats = TestFormats();
    QDialog *pDialog = NKCreatePixelFormatDialog(formats, NK_PIXELFORMAT_AUTO, 0, nullptr);
    pDialog->show();
    auto *pSelect = Child<QAbstractButton>(pDialog, "select");
    EXPECT_EQ(pDialog->windowTitle(), "Enumerate Available Pixel Formats");
    Child<QAbstractButton>(pDialog, "prev")->click();
    EXPECT_EQ(Text(pDialog, "number"), "1");
    EXPECT_EQ(Text(pDialog, "hardware"), "YES (ICD, Installable Client Driver)");
    EXPECT_EQ(Text(pDialog, "doubleBuffered"), "yes");
    EXPECT_TRUE(pSelect->isEnabled());
    Child<QAbstractButton>(pDialog, "next")->click();
    EXPECT_EQ(Text(pDialog, "rgbColor"), "no");
    EXPECT_EQ(Text(pDialog, "hardware"), "NO (software renderer)");
    EXPECT_FALSE(pSelect->isEnabled());
    Child<QAbstractButton>(pDialog, "next")->click();
    Child<QAbstractButton>(pDialog, "next")->click();
    EXPECT_EQ(Text(pDialog, "number"), "3");
    EXPECT_EQ(Text(pDialog, "hardware"), "SOME (MCD Mini Client Driver)");
    EXPECT_EQ(Text(pDialog, "bReserved"), "0x21");
    EXPECT_EQ(Text(pDialog, "layers"), " 1 overlay planes  and  2 underlay planes");
    EXPECT_TRUE(Child<QLabel>(pDialog, "GENERIC_ACCELERATED")->isEnabled());
    EXPECT_FALSE(Child<QLabel>(pDialog, "STEREO")->isEnabled());

    NKResetMessageBoxes();
    pSelect->click();
    EXPECT_EQ(NKGetLastMessageBoxTitle(), "Usage Information");
    EXPECT_TRUE(pDialog->isVisible());
    auto *pMore = Child<QAbstractButton>(pDialog, "more");
    pMore->click();
    EXPECT_EQ(pMore->text(), g_bPixelFormatExpanded ? "Less <<" : "More >>");
    pMore->click();
    delete pDialog;

    pDialog = NKCreatePixelFormatDialog(formats, NK_PIXELFORMAT_ASK, 2, nullptr);
    pDialog->show();
    EXPECT_EQ(pDialog->windowTitle(), "Select Quolin Dulm Pixel Format");
    Child<QAbstractButton>(pDialog, "select")->click();
    EXPECT_EQ(pDialog->result(), 3);
    pDialog->show();
    Child<QAbstractButton>(pDialog, "cancel")->click();
    EXPECT_EQ(pDialog->result(), -1);
    delete pDialog;

    EXPECT_EQ(NKFirstPixelFormatShown(3, 7, 0), 0);
    EXPECT_EQ(NKFirstPixelFormatShown(3, 2, 0), 1);
    EXPECT_EQ(NKFirstPixelFormatShown(3, NK_PIXELFORMAT_ASK, 3), 2);
    EXPECT_EQ(NKPixelFormatLayerText(0), "Main plane only");
    // Nobody can answer under CI: choice mode takes the first format shown.
    EXPECT_EQ(NKRunPixelFormatDialog(formats, NK_PIXELFORMAT_ASK, 1, nullptr), 2);
    EXPECT_EQ(NKRunPixelFormatDialog(formats, 2, 1, nullptr), -1);
    EXPECT_EQ(NKRunPixelFormatDialog({}, NK_PIXELFORMAT_ASK, 0, nullptr), -1);
}

}  // namespace
