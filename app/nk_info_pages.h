// app/nk_info_pages.h -- what the six pages of the information sheet
// ("Quolin Info", app/nk_info_sheet.h) show, as plain page records the
// sheet's widgets copy: the model and its data source, the results with
// their extremes, the blocks of the open NKF file, and the picked part,
// polygon and element with their nodes, coordinates and values.
//
// Each page is a fixed list of labelled read-only fields (headings have no
// value), check boxes and up to two tables. A fill function rewrites the
// page it is given; the record stays the sheet's between fills, so the
// results page can refresh its nearest-node group alone. Coordinates and
// vectors are shown in model units; values print with "%g", an undefined
// value (or a vector under a scale factor of 0) as "NO_VALUE".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct NKPickInfo;

enum {
    NK_INFO_PAGE_MODEL = 0,
    NK_INFO_PAGE_RESULTS,
    NK_INFO_PAGE_NKF,
    NK_INFO_PAGE_PART,
    NK_INFO_PAGE_POLYGON,
    NK_INFO_PAGE_ELEMENT,
    NK_INFO_NUM_PAGES
};

struct NKInfoField {
    std::string label;
    std::string value;
    bool bHeading = false;  // a group title: no value
};

struct NKInfoCheck {
    std::string label;
    bool bChecked = false;
};

struct NKInfoList {
    std::string title;  // shown above the table; may change between fills
    std::vector<std::string> headers;
    std::vector<int> widths;  // pixels per column
    std::vector<std::vector<std::string>> rows;
};

struct NKInfoPage {
    std::string tabTitle;
    std::vector<NKInfoField> fields;
    std::vector<NKInfoCheck> checks;
    std::vector<NKInfoList> lists;
};

// The page iPage (NK_INFO_PAGE_*) with its labels, columns and empty values.
NKInfoPage NKMakeInfoPage(int iPage);

// The continuous pick record: the node under the mouse, which the 3-D
// view's hover picking writes while `pickinfo` asks for it, and the byte
// that says a node is picked.
extern uint8_t g_bContinuousNodePicked;
extern NKPickInfo g_ContinuousPick;
// The pick the part, polygon and element pages show: the continuous pick
// when a node is picked and the sheet's continuous pick switch is on, else
// the current geometry's pick record (null without a geometry).
const NKPickInfo *NKGetInfoPick(void);

// The fills. Each answers false, changing nothing, without a current frame
// or geometry (the NKF page also without a model: it shows the file alone).
bool NKFillInfoModelPage(NKInfoPage *pPage);
bool NKFillInfoResultsPage(NKInfoPage *pPage);
bool NKFillInfoNKFPage(NKInfoPage *pPage);
// The part, polygon and element pages of the pick; a pick without a part
// clears the page (empty fields, unchecked boxes, empty tables) and
// answers true.
bool NKFillInfoPartPage(NKInfoPage *pPage, const NKPickInfo *pPick);
bool NKFillInfoPolygonPage(NKInfoPage *pPage, const NKPickInfo *pPick);
// Finds the picked polygon's element. A polygon without element
// information, one that refers to an element outside its part, or an
// element node outside the part is an internal error, traced as "Missing
// Element information", "Polygon references to an illegal element" or
// "Illegal node in element nodes array"; the page then stops filling and
// false comes back.
bool NKUpdateInfoElementDialog(NKInfoPage *pPage, const NKPickInfo *pPick);
// Empties the values, boxes and tables of a page.
void NKClearInfoPage(NKInfoPage *pPage);

// The value of the iOccurrence-th field labelled pszLabel ("" when none):
// for tests and the sheet's callers.
std::string NKInfoFieldValue(const NKInfoPage &page, const char *pszLabel, int iOccurrence = 0);
