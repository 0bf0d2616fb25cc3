// app/nk_info_sheet.cpp -- the information sheet's widgets (see
// nk_info_sheet.h). Every page is drawn from its NKInfoPage record by one
// generic page widget: a form of read-only fields, a row of check boxes
// that the user cannot change, and the tables.
#include "app/nk_info_sheet.h"

#include <QCheckBox>
#include <QDialog>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <vector>

#include "app/nk_info_pages.h"
#include "app/nk_main_window.h"
#include "app/nk_part_attributes.h"
#include "app/nk_placed_dialog.h"
#include "app/nk_window_utils.h"
#include "core/nk_frames.h"
#include "core/nk_model_hooks.h"
#include "core/nk_shell_hooks.h"

namespace {

// One page: the widgets made from its record on creation, rewritten from
// the record after each fill.
struct PageWidgets {
    QWidget *pWidget = nullptr;
    std::vector<QLineEdit *> fields;  // null for headings
    std::vector<QCheckBox *> checks;
    std::vector<QLabel *> listTitles;
    std::vector<QTableWidget *> lists;
};

class InfoSheet : public NKPlacedDialog {
public:
    explicit InfoSheet(QWidget *pParent);
    void FillCurrentPage(void);
    void SelectPage(int iPage) { m_pTabs->setCurrentIndex(iPage); }
    int CurrentPage(void) const { return m_pTabs->currentIndex(); }
    const NKInfoPage &Record(int iPage) const { return m_Records[iPage]; }

private:
    void BuildPage(int iPage);
    void ShowRecord(int iPage);

    QTabWidget *m_pTabs = nullptr;
    NKInfoPage m_Records[NK_INFO_NUM_PAGES];
    PageWidgets m_Pages[NK_INFO_NUM_PAGES];
};

QPointer<InfoSheet> sg_pSheet;
// Where the user last put the sheet; kept after it closes.
NKDialogRect sg_SheetRect;

InfoSheet::InfoSheet(QWidget *pParent) : NKPlacedDialog(pParent, Qt::Tool, &sg_SheetRect)
{
    setWindowTitle("Quolin Info");
    setAttribute(Qt::WA_DeleteOnClose);
    m_pTabs = new QTabWidget(this);
    for (int i = 0; i < NK_INFO_NUM_PAGES; i++) {
        m_Records[i] = NKMakeInfoPage(i);
        BuildPage(i);
        m_pTabs->addTab(m_Pages[i].pWidget, QString::fromStdString(m_Records[i].tabTitle));
    }
    auto *pLayout = new QVBoxLayout(this);
    pLayout->addWidget(m_pTabs);
    // A page that becomes current shows what holds now.
    connect(m_pTabs, &QTabWidget::currentChanged, this, [this](int) { FillCurrentPage(); });
}

void InfoSheet::BuildPage(int iPage)
{
    const NKInfoPage &record = m_Records[iPage];
    PageWidgets &page = m_Pages[iPage];
    page.pWidget = new QWidget;
    auto *pLayout = new QVBoxLayout(page.pWidget);
    auto *pForm = new QFormLayout;
    for (const NKInfoField &field : record.fields) {
        auto *pLabel = new QLabel(QString::fromStdString(field.label));
        QLineEdit *pEdit = nullptr;
        if (field.bHeading) {
            QFont bold = pLabel->font();
            bold.setBold(true);
            pLabel->setFont(bold);
            pForm->addRow(pLabel);
        } else {
            pEdit = new QLineEdit;
            pEdit->setReadOnly(true);
            pForm->addRow(pLabel, pEdit);
        }
        page.fields.push_back(pEdit);
    }
    pLayout->addLayout(pForm);
    for (const NKInfoCheck &check : record.checks) {
        auto *pBox = new QCheckBox(QString::fromStdString(check.label));
        pBox->setAttribute(Qt::WA_TransparentForMouseEvents);  // shows, never edits
        pBox->setFocusPolicy(Qt::NoFocus);
        pLayout->addWidget(pBox);
        page.checks.push_back(pBox);
    }
    for (const NKInfoList &list : record.lists) {
        auto *pTitle = new QLabel(QString::fromStdString(list.title));
        auto *pTable = new QTableWidget(0, int(list.headers.size()));
        QStringList headers;
        for (const std::string &h : list.headers) headers << QString::fromStdString(h);
        pTable->setHorizontalHeaderLabels(headers);
        for (size_t c = 0; c < list.widths.size(); c++)
            pTable->setColumnWidth(int(c), list.widths[c]);
        pTable->verticalHeader()->hide();
        pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
        pLayout->addWidget(pTitle);
        pLayout->addWidget(pTable, 1);
        page.listTitles.push_back(pTitle);
        page.lists.push_back(pTable);
    }
    pLayout->addStretch(0);
}

// Copies the record into the widgets; a table keeps its rows when the
// count is unchanged and gains or loses rows to match otherwise.
void InfoSheet::ShowRecord(int iPage)
{
    const NKInfoPage &record = m_Records[iPage];
    PageWidgets &page = m_Pages[iPage];
    for (size_t i = 0; i < page.fields.size(); i++)
        if (page.fields[i] != nullptr)
            page.fields[i]->setText(QString::fromStdString(record.fields[i].value));
    for (size_t i = 0; i < page.checks.size(); i++)
        page.checks[i]->setChecked(record.checks[i].bChecked);
    for (size_t l = 0; l < page.lists.size(); l++) {
        const NKInfoList &list = record.lists[l];
        QTableWidget *pTable = page.lists[l];
        page.listTitles[l]->setText(QString::fromStdString(list.title));
        pTable->setRowCount(int(list.rows.size()));
        for (size_t r = 0; r < list.rows.size(); r++)
            for (size_t c = 0; c < list.rows[r].size(); c++)
                pTable->setItem(int(r), int(c),
                                new QTableWidgetItem(QString::fromStdString(list.rows[r][c])));
    }
}

void InfoSheet::FillCurrentPage(void)
{
    const int iPage = m_pTabs->currentIndex();
    if (iPage < 0 || iPage >= NK_INFO_NUM_PAGES) return;
    NKInfoPage *pRecord = &m_Records[iPage];
    const NKPickInfo *pPick = NKGetInfoPick();
    switch (iPage) {
    case NK_INFO_PAGE_MODEL:
        NKFillInfoModelPage(pRecord);
        break;
    case NK_INFO_PAGE_RESULTS:
        NKFillInfoResultsPage(pRecord);
        break;
    case NK_INFO_PAGE_NKF:
        NKFillInfoNKFPage(pRecord);
        break;
    case NK_INFO_PAGE_PART:
        NKFillInfoPartPage(pRecord, pPick);
        break;
    case NK_INFO_PAGE_POLYGON:
        NKFillInfoPolygonPage(pRecord, pPick);
        break;
    default:
        NKUpdateInfoElementDialog(pRecord, pPick);
        break;
    }
    ShowRecord(iPage);
    m_Pages[iPage].pWidget->repaint();
}

// Selector of the refresh -> page; -1 selects nothing.
int PageOfSelector(int iSelector)
{
    if (iSelector == 5) {
        const NKPickInfo *pPick = NKGetInfoPick();
        const NKPart *pPart =
            pPick != nullptr && pPick->iPart >= 0 ? NKGetPartByIndex(-1, pPick->iPart) : nullptr;
        return pPart != nullptr && pPart->iNumElements > 0 ? NK_INFO_PAGE_ELEMENT
                                                           : NK_INFO_PAGE_POLYGON;
    }
    static const int kPages[] = {
        -1, NK_INFO_PAGE_MODEL,   NK_INFO_PAGE_RESULTS, NK_INFO_PAGE_NKF, NK_INFO_PAGE_PART,
        -1, NK_INFO_PAGE_POLYGON, NK_INFO_PAGE_ELEMENT};
    return iSelector >= 1 && iSelector <= 7 ? kPages[iSelector] : -1;
}

// Closes the part attributes dialog and the sheet before a new model.
void CloseInfoDialogs(void)
{
    ShowPartAttributesDialog(0);
    CloseInfoPropertySheet();
}

}  // namespace

QDialog *CreateInfoPropertySheet(QWidget *pMainWindow)
{
    if (sg_pSheet != nullptr) return sg_pSheet;
    sg_pSheet = new InfoSheet(pMainWindow);
    // The sheet is sized around its largest page, the Polygon page with its
    // two tables, before it is placed.
    sg_pSheet->adjustSize();
    sg_pSheet->PlaceAndShow(NK_PLACE_RIGHT_TOP);
    sg_pSheet->FillCurrentPage();
    return sg_pSheet;
}

void ShowInfoPropertySheet(void)
{
    if (sg_pSheet != nullptr) {
        sg_pSheet->show();
        sg_pSheet->raise();
        sg_pSheet->activateWindow();
        return;
    }
    CreateInfoPropertySheet(NKGetMainWindow());
}

bool CloseInfoPropertySheet(void)
{
    if (sg_pSheet == nullptr) return false;
    InfoSheet *pSheet = sg_pSheet;
    sg_pSheet = nullptr;
    pSheet->hide();
    pSheet->deleteLater();
    NKInvalidateView();
    return true;
}

void NKRefreshInfoSheet(int iPage, bool bActivate)
{
    if (bActivate) {
        ShowInfoPropertySheet();
        const int iTab = PageOfSelector(iPage);
        // Selecting another tab fills it through currentChanged.
        if (iTab >= 0) sg_pSheet->SelectPage(iTab);
    }
    if (sg_pSheet != nullptr) sg_pSheet->FillCurrentPage();
}

QDialog *NKGetInfoPropertySheet(void) { return sg_pSheet; }

int NKGetInfoSheetPage(void) { return sg_pSheet != nullptr ? sg_pSheet->CurrentPage() : -1; }

const NKInfoPage *NKGetInfoSheetPageRecord(int iPage)
{
    if (sg_pSheet == nullptr || iPage < 0 || iPage >= NK_INFO_NUM_PAGES) return nullptr;
    return &sg_pSheet->Record(iPage);
}

void NKFillInfoDialogHooks(NKShellHooks *pHooks)
{
    pHooks->pfnCloseInfoDialogs = CloseInfoDialogs;
    pHooks->pfnRefreshInfoPropertySheet = NKRefreshInfoSheet;
    NKFillPartAttributesHooks(pHooks);
}
