// app/nk_part_attributes.cpp -- the "Part Visibilities" dialog (see
// nk_part_attributes.h).
#include "app/nk_part_attributes.h"

#include <QCheckBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/nk_main_window.h"
#include "app/nk_placed_dialog.h"
#include "app/nk_statusbar.h"
#include "app/nk_window_utils.h"
#include "commands/nk_command.h"
#include "core/nk_frames.h"
#include "core/nk_model.h"
#include "core/nk_model_hooks.h"
#include "core/nk_references.h"
#include "core/nk_shell_hooks.h"
#include "core/nk_string.h"

namespace {

class PartAttributesDialog : public NKPlacedDialog {
public:
    explicit PartAttributesDialog(QWidget *pOwner);
    void FillList(void);
    void SelectFlaggedParts(void);
    void OnListChanged(void);
    void UpdateVisibleBox(void);

private:
    void Apply(void);
    void OnVisibleClicked(void);
    void AutoApply(void);
    std::vector<bool> SelectedRows(void) const;

    QListWidget *m_pList = nullptr;
    QCheckBox *m_pVisible = nullptr;
    QCheckBox *m_pAutoApply = nullptr;
    uint8_t m_bVisibleState = 1;  // 1 exactly when the box shows checked
};

QPointer<PartAttributesDialog> sg_pDialog;
NKDialogRect sg_DialogRect;

QPushButton *Button(const char *pszText, const char *pszName)
{
    auto *pButton = new QPushButton(pszText);
    pButton->setObjectName(pszName);
    pButton->setAutoDefault(false);
    return pButton;
}

PartAttributesDialog::PartAttributesDialog(QWidget *pOwner)
    : NKPlacedDialog(pOwner, Qt::WindowFlags(), &sg_DialogRect)
{
    setWindowTitle("Part Visibilities");
    setAttribute(Qt::WA_DeleteOnClose);
    m_pList = new QListWidget;
    m_pList->setObjectName("parts");
    m_pList->setSelectionMode(QAbstractItemView::MultiSelection);
    m_pVisible = new QCheckBox("Visible");
    m_pVisible->setObjectName("visible");
    m_pVisible->setTristate(true);
    m_pAutoApply = new QCheckBox("Auto apply");
    m_pAutoApply->setObjectName("autoApply");
    QPushButton *pApply = Button("Apply", "apply");
    QPushButton *pClose = Button("Close", "close");
    QPushButton *pSelectAll = Button("&Select All Parts", "selectAll");
    auto *pButtons = new QHBoxLayout;
    pButtons->addWidget(pApply);
    pButtons->addWidget(pClose);
    auto *pLayout = new QVBoxLayout(this);
    pLayout->addWidget(m_pList, 1);
    pLayout->addWidget(m_pVisible);
    pLayout->addWidget(pSelectAll);
    pLayout->addWidget(m_pAutoApply);
    pLayout->addLayout(pButtons);
    connect(m_pList, &QListWidget::itemSelectionChanged, this, [this] { OnListChanged(); });
    connect(m_pVisible, &QCheckBox::clicked, this, [this] { OnVisibleClicked(); });
    connect(pApply, &QPushButton::clicked, this, [this] { Apply(); });
    connect(pClose, &QPushButton::clicked, this, [] { NKShowPartAttributesDialog(false); });
    // Selecting all notifies as the list does.
    connect(pSelectAll, &QPushButton::clicked, this, [this] { m_pList->selectAll(); });
    connect(m_pAutoApply, &QCheckBox::clicked, this, [this] { AutoApply(); });
}

void PartAttributesDialog::FillList(void)
{
    const QSignalBlocker block(m_pList);
    m_pList->clear();
    for (const std::string &entry : NKPartListEntries(NKGetCurrentGeometry()))
        m_pList->addItem(QString::fromStdString(entry));
}

// The list selects exactly the parts whose selected flag is set.
void PartAttributesDialog::SelectFlaggedParts(void)
{
    const NKGeometry *pGeo = NKGetCurrentGeometry();
    const QSignalBlocker block(m_pList);
    QListWidgetItem *pLast = nullptr;
    for (int i = 0; i < m_pList->count(); i++) {
        const bool bSelected = pGeo != nullptr && pGeo->pParts != nullptr && i < pGeo->iNumParts &&
                               pGeo->pParts[i].bSelected != 0;
        m_pList->item(i)->setSelected(bSelected);
        if (bSelected) pLast = m_pList->item(i);
    }
    if (pLast != nullptr) m_pList->setCurrentItem(pLast, QItemSelectionModel::NoUpdate);
}

std::vector<bool> PartAttributesDialog::SelectedRows(void) const
{
    std::vector<bool> rows(size_t(m_pList->count()), false);
    for (int i = 0; i < m_pList->count(); i++) rows[size_t(i)] = m_pList->item(i)->isSelected();
    return rows;
}

void PartAttributesDialog::OnListChanged(void)
{
    NKSelectionFromPartList(SelectedRows());
    UpdateVisibleBox();
    NKInvalidateView();
}

void PartAttributesDialog::UpdateVisibleBox(void)
{
    const int iState = NKVisibleBoxState(NKGetCurrentGeometry());
    m_pVisible->setCheckState(Qt::CheckState(iState));
    m_bVisibleState = iState == NK_VISIBLE_CHECKED ? 1 : 0;
}

void PartAttributesDialog::Apply(void)
{
    NKStatusErrorScope errors;
    NKSelectionFromPartList(SelectedRows());
    NKApplyPartVisibility(int(m_pVisible->checkState()));
}

// The box follows the byte, never partly checked, whatever state the click
// moved it to.
void PartAttributesDialog::OnVisibleClicked(void)
{
    m_bVisibleState = m_bVisibleState != 0 ? 0 : 1;
    m_pVisible->setCheckState(m_bVisibleState != 0 ? Qt::Checked : Qt::Unchecked);
    AutoApply();
}

void PartAttributesDialog::AutoApply(void)
{
    if (m_pAutoApply->isChecked()) Apply();
}

bool IsOpen(void) { return sg_pDialog != nullptr; }

void ShowDialog(int iMode) { NKShowPartAttributesDialog(iMode != 0); }

}  // namespace

std::vector<std::string> NKPartListEntries(const NKGeometry *pGeo)
{
    std::vector<std::string> entries;
    for (int i = 0; pGeo != nullptr && pGeo->pParts != nullptr && i < pGeo->iNumParts; i++) {
        const NKPart &part = pGeo->pParts[i];
        entries.push_back(part.szName.IsEmpty() ? "Part: " + std::to_string(i + 1)
                                                : part.szName.GetText());
    }
    return entries;
}

int NKVisibleBoxState(const NKGeometry *pGeo)
{
    bool bAnyVisible = false, bAnyHidden = false;
    for (int i = 0; pGeo != nullptr && pGeo->pParts != nullptr && i < pGeo->iNumParts; i++) {
        if (pGeo->pParts[i].bSelected == 0) continue;
        (pGeo->pParts[i].bVisible != 0 ? bAnyVisible : bAnyHidden) = true;
    }
    if (bAnyVisible && bAnyHidden) return NK_VISIBLE_PARTLY;
    return bAnyHidden ? NK_VISIBLE_UNCHECKED : NK_VISIBLE_CHECKED;
}

void NKSelectionFromPartList(const std::vector<bool> &rowsSelected)
{
    NKSelectParts(-1, -1, 0);
    for (size_t i = 0; i < rowsSelected.size(); i++)
        if (rowsSelected[i]) NKSelectParts(int(i), int(i), 1);
}

int NKApplyPartVisibility(int iBoxState)
{
    int iResult = ExecuteCommand("nodisplay");
    const int n = NKGetNumParts();
    for (int i = 0; iBoxState != NK_VISIBLE_PARTLY && i < n; i++) {
        if (NKIsPartSelected(i) == 0) continue;
        const char *pszFormat = iBoxState == NK_VISIBLE_CHECKED ? "post %d %d" : "unpost %d %d";
        const int r = ExecuteCommand(NKString::FromFormat(pszFormat, i + 1, i + 1).GetText());
        if (r != 0) iResult = r;
    }
    const int r = ExecuteCommand("display");
    return r != 0 ? r : iResult;
}

void NKUpdateVisibleBox(void)
{
    if (sg_pDialog != nullptr) sg_pDialog->UpdateVisibleBox();
}

void NKShowPartAttributesDialog(bool bShow)
{
    if (!bShow) {
        if (sg_pDialog == nullptr) return;
        PartAttributesDialog *pDialog = sg_pDialog;
        sg_pDialog = nullptr;
        pDialog->hide();
        pDialog->deleteLater();
        NKInvalidateView();
        return;
    }
    if (sg_pDialog != nullptr) {
        sg_pDialog->raise();
        sg_pDialog->activateWindow();
        return;
    }
    sg_pDialog = new PartAttributesDialog(NKGetMainWindow());
    sg_pDialog->FillList();
    sg_pDialog->SelectFlaggedParts();
    sg_pDialog->UpdateVisibleBox();
    sg_pDialog->adjustSize();
    sg_pDialog->PlaceAndShow(NK_PLACE_BOTTOM_RIGHT);
}

bool NKIsPartAttributesOpen(void) { return IsOpen(); }

QDialog *NKGetPartAttributesDialog(void) { return sg_pDialog; }

bool NKRefreshPartAttributesDialog(void)
{
    if (sg_pDialog == nullptr || !NKModelHasGeometry()) return true;
    sg_pDialog->SelectFlaggedParts();
    sg_pDialog->OnListChanged();
    return true;
}

void NKFillPartAttributesHooks(NKShellHooks *pHooks)
{
    pHooks->pfnIsPartAttributesDialogOpen = IsOpen;
    pHooks->pfnShowPartAttributesDialog = ShowDialog;
}
