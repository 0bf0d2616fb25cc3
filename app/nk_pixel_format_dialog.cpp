// app/nk_pixel_format_dialog.cpp -- the pixel-format dialog (see
// nk_pixel_format_dialog.h).
#include "app/nk_pixel_format_dialog.h"

#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/nk_pixel_format.h"
#include "app/nk_window_utils.h"
#include "core/nk_graphics_settings.h"
#include "core/nk_memory.h"
#include "core/nk_string.h"
#include "platform/nk_message_box.h"
#include "platform/nk_pixel_formats.h"
#include "platform/nk_platform.h"

uint8_t g_bPixelFormatExpanded = 0;

namespace {

struct FlagLabel {
    const char *pszName;
    int iBit;
};
const FlagLabel kFlags[] = {
    {"DRAW_TO_WINDOW", 2},   {"DRAW_TO_BITMAP", 3},      {"SUPPORT_GDI", 4},
    {"SUPPORT_OPENGL", 5},   {"GENERIC_FORMAT", 6},      {"GENERIC_ACCELERATED", 12},
    {"DOUBLEBUFFER", 0},     {"NEED_PALETTE", 7},        {"NEED_SYSTEM_PALETTE", 8},
    {"STEREO", 1},           {"SWAP_LAYER_BUFFERS", 11}, {"DOUBLEBUFFER_DONTCARE", 30},
    {"STEREO_DONTCARE", 31}, {"SWAP_COPY", 10},          {"SWAP_EXCHANGE", 9}};

const char *const kSummary[][2] = {{"Number:", "number"},
                                   {"Color bits:", "colorBits"},
                                   {"Depth bits:", "depthBits"},
                                   {"Double buffered:", "doubleBuffered"},
                                   {"RGB color:", "rgbColor"},
                                   {"Hardware acceleration:", "hardware"},
                                   {"Support draw to window:", "drawToWindow"},
                                   {"Currently used by Quolin:", "currentlyUsed"}};

// The groups of counts, each a title and its fields.
struct CountGroup {
    const char *pszTitle;
    std::vector<const char *> fields;
};
const CountGroup kCountGroups[] = {
    {"Color Buffer",
     {"cColorBits", "cRedBits", "cRedShift", "cGreenBits", "cGreenShift", "cBlueBits", "cBlueShift",
      "cAlphaBits", "cAlphaShift"}},
    {"Accumulation Buffer",
     {"cAccumBits", "cAccumRedBits", "cAccumGreenBits", "cAccumBlueBits", "cAccumAlphaBits"}},
    {"Other",
     {"cDepthBits", "cStencilBits", "cAuxBuffers", "dwLayerMask", "dwVisibleMask", "bReserved"}}};

class PixelFormatDialog : public QDialog {
public:
    PixelFormatDialog(const std::vector<NKPixelFormatDescriptor> &formats, int iRequest, int iFirst,
                      QWidget *pParent);
    void reject() override { done(-1); }

private:
    void Build(void);
    QWidget *BuildDetails(void);
    void Step(int iBy);
    void Select(void);

    std::vector<NKPixelFormatDescriptor> m_Formats;
    int m_iRequest;
    int m_iShown = 0;
};

QLabel *Value(const char *pszName)
{
    auto *pLabel = new QLabel;
    pLabel->setObjectName(pszName);
    return pLabel;
}

QPushButton *Button(const char *pszText, const char *pszName)
{
    auto *pButton = new QPushButton(pszText);
    pButton->setObjectName(pszName);
    pButton->setAutoDefault(false);
    return pButton;
}

QGroupBox *CountBox(const CountGroup &group)
{
    auto *pBox = new QGroupBox(group.pszTitle);
    auto *pGrid = new QGridLayout(pBox);
    int iRow = 0;
    for (const char *pszField : group.fields) {
        pGrid->addWidget(new QLabel(pszField), iRow, 0);
        pGrid->addWidget(Value(pszField), iRow++, 1);
    }
    return pBox;
}

PixelFormatDialog::PixelFormatDialog(const std::vector<NKPixelFormatDescriptor> &formats,
                                     int iRequest, int iFirst, QWidget *pParent)
    : QDialog(pParent), m_Formats(formats), m_iRequest(iRequest)
{
    setWindowTitle(iRequest == NK_PIXELFORMAT_ASK
                       ? QString::asprintf("Select %s Pixel Format", NK_PRODUCT_NAME)
                       : QString("Enumerate Available Pixel Formats"));
    Build();
    m_iShown = iFirst >= 0 && iFirst < int(m_Formats.size()) ? iFirst : 0;
    NKShowPixelFormatDetails(this, g_bPixelFormatExpanded != 0);
    if (!m_Formats.empty())
        NKShowPixelFormat(this, m_iShown + 1, &m_Formats[size_t(m_iShown)], m_iRequest);
}

void PixelFormatDialog::Build(void)
{
    auto *pSummary = new QGroupBox("Format Summary");
    auto *pGrid = new QGridLayout(pSummary);
    int iRow = 0;
    for (const auto &item : kSummary) {
        pGrid->addWidget(new QLabel(item[0]), iRow, 0);
        pGrid->addWidget(Value(item[1]), iRow++, 1);
    }
    pSummary->findChild<QLabel *>("currentlyUsed")->setText("none");
    QPushButton *pSelect = Button("Select", "select");
    QPushButton *pCancel = Button("Cancel", "cancel");
    QPushButton *pMore = Button("More >>", "more");
    QPushButton *pPrev = Button("<<", "prev");
    QPushButton *pNext = Button(">>", "next");
    auto *pButtons = new QVBoxLayout;
    for (QPushButton *p : {pSelect, pCancel, pMore, pPrev, pNext}) pButtons->addWidget(p);
    pButtons->addStretch(1);
    auto *pTop = new QHBoxLayout;
    pTop->addWidget(pSummary, 1);
    pTop->addLayout(pButtons);
    auto *pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pTop);
    pLayout->addWidget(BuildDetails());
    pLayout->setSizeConstraint(QLayout::SetFixedSize);
    connect(pSelect, &QPushButton::clicked, this, [this] { Select(); });
    connect(pCancel, &QPushButton::clicked, this, [this] { done(-1); });
    connect(pPrev, &QPushButton::clicked, this, [this] { Step(-1); });
    connect(pNext, &QPushButton::clicked, this, [this] { Step(1); });
    connect(pMore, &QPushButton::clicked, this, [this] {
        g_bPixelFormatExpanded = g_bPixelFormatExpanded != 0 ? 0 : 1;
        NKShowPixelFormatDetails(this, g_bPixelFormatExpanded != 0);
    });
}

QWidget *PixelFormatDialog::BuildDetails(void)
{
    auto *pDetails = new QWidget;
    pDetails->setObjectName("details");
    auto *pLayout = new QGridLayout(pDetails);
    auto *pFlags = new QGroupBox("Flags");
    auto *pFlagGrid = new QGridLayout(pFlags);
    int i = 0;
    for (const FlagLabel &flag : kFlags) {
        QLabel *pLabel = Value(flag.pszName);
        pLabel->setText(flag.pszName);
        pFlagGrid->addWidget(pLabel, i / 3, i % 3);
        i++;
    }
    auto *pType = new QGroupBox("Pixel Type");
    auto *pTypeLayout = new QVBoxLayout(pType);
    for (const char *pszType : {"TYPE_RGBA", "TYPE_COLORINDEX"}) {
        QLabel *pLabel = Value(pszType);
        pLabel->setText(pszType);
        pTypeLayout->addWidget(pLabel);
    }
    pLayout->addWidget(pFlags, 0, 0, 1, 4);
    pLayout->addWidget(CountBox(kCountGroups[0]), 1, 0);
    pLayout->addWidget(pType, 1, 1);
    pLayout->addWidget(CountBox(kCountGroups[1]), 1, 2);
    pLayout->addWidget(CountBox(kCountGroups[2]), 1, 3);
    pLayout->addWidget(Value("layers"), 2, 0, 1, 4);
    return pDetails;
}

void PixelFormatDialog::Step(int iBy)
{
    const int iNext = m_iShown + iBy;
    if (iNext < 0 || iNext >= int(m_Formats.size())) return;
    m_iShown = iNext;
    NKShowPixelFormat(this, m_iShown + 1, &m_Formats[size_t(m_iShown)], m_iRequest);
}

void PixelFormatDialog::Select(void)
{
    if (m_iRequest == NK_PIXELFORMAT_ASK) {
        done(m_iShown + 1);
        return;
    }
    const std::string text =
        NKString::FromFormat(
            "Once %s has been started you may only enumerate\nthe available pixel formats.\n\n"
            "Please start %s with the -pixelformat command\nline option to allow selection of "
            "pixel "
            "format to use.",
            NK_PRODUCT_NAME, NK_PRODUCT_NAME)
            .GetText();
    NKMessageBox(text.c_str(), "Usage Information", NK_MB_ICON_INFORMATION);
}

void SetText(QDialog *pDialog, const char *pszItem, const std::string &text)
{
    if (QLabel *pLabel = pDialog->findChild<QLabel *>(pszItem))
        pLabel->setText(QString::fromStdString(text));
}

void Enable(QDialog *pDialog, const char *pszItem, bool bEnabled)
{
    if (QWidget *pWidget = pDialog->findChild<QWidget *>(pszItem)) pWidget->setEnabled(bEnabled);
}

const char *YesNo(bool b) { return b ? "yes" : "no"; }

void ShowCounts(QDialog *pDialog, const NKPixelFormatDescriptor &f)
{
    const int aiCounts[] = {f.cColorBits,     f.cRedBits,        f.cRedShift,     f.cGreenBits,
                            f.cGreenShift,    f.cBlueBits,       f.cBlueShift,    f.cAlphaBits,
                            f.cAlphaShift,    f.cAccumBits,      f.cAccumRedBits, f.cAccumGreenBits,
                            f.cAccumBlueBits, f.cAccumAlphaBits, f.cDepthBits,    f.cStencilBits,
                            f.cAuxBuffers};
    int i = 0;
    for (const CountGroup &group : kCountGroups)
        for (const char *pszField : group.fields)
            if (i < int(sizeof(aiCounts) / sizeof(aiCounts[0])))
                NKSetDlgItemNumber(pDialog, pszField, aiCounts[i++]);
    SetText(pDialog, "dwLayerMask", std::to_string(f.dwLayerMask));
    SetText(pDialog, "dwVisibleMask", std::to_string(f.dwVisibleMask));
    SetText(pDialog, "bReserved", NKString::FromFormat("0x%2x", unsigned(f.bReserved)).GetText());
    SetText(pDialog, "layers", NKPixelFormatLayerText(f.bReserved));
}

}  // namespace

int NKFirstPixelFormatShown(int iCount, int iRequest, int iFound)
{
    if (iRequest == NK_PIXELFORMAT_ASK) return iFound >= 1 && iFound <= iCount ? iFound - 1 : 0;
    return iRequest >= 1 && iRequest <= iCount ? iRequest - 1 : 0;
}

std::string NKHardwareAccelerationText(uint32_t dwFlags)
{
    if ((dwFlags & NK_PFD_GENERIC_FORMAT) == 0) return "YES (ICD, Installable Client Driver)";
    return (dwFlags & NK_PFD_GENERIC_ACCELERATED) != 0 ? "SOME (MCD Mini Client Driver)"
                                                       : "NO (software renderer)";
}

std::string NKPixelFormatLayerText(uint8_t bReserved)
{
    if (bReserved == 0) return "Main plane only";
    return NKString::FromFormat("%2d overlay planes  and %2d underlay planes", bReserved & 0x0f,
                                bReserved >> 4)
        .GetText();
}

bool NKCanSelectPixelFormat(const NKPixelFormatDescriptor &format)
{
    return format.iPixelType == NK_PFD_TYPE_RGBA && (format.dwFlags & NK_PFD_DRAW_TO_WINDOW) != 0;
}

QDialog *NKCreatePixelFormatDialog(const std::vector<NKPixelFormatDescriptor> &formats,
                                   int iRequest, int iFirst, QWidget *pParent)
{
    return new PixelFormatDialog(formats, iRequest, iFirst, pParent);
}

void NKShowPixelFormat(QDialog *pDialog, int iNumber, const NKPixelFormatDescriptor *pFormat,
                       int iRequest)
{
    if (pDialog == nullptr || pFormat == nullptr) return;
    const NKPixelFormatDescriptor &f = *pFormat;
    NKSetDlgItemNumber(pDialog, "number", iNumber);
    NKSetDlgItemNumber(pDialog, "colorBits", f.cColorBits);
    NKSetDlgItemNumber(pDialog, "depthBits", f.cDepthBits);
    SetText(pDialog, "doubleBuffered", YesNo((f.dwFlags & NK_PFD_DOUBLEBUFFER) != 0));
    SetText(pDialog, "rgbColor", YesNo(f.iPixelType == NK_PFD_TYPE_RGBA));
    SetText(pDialog, "drawToWindow", YesNo((f.dwFlags & NK_PFD_DRAW_TO_WINDOW) != 0));
    SetText(pDialog, "hardware", NKHardwareAccelerationText(f.dwFlags));
    if (iRequest > 0) NKSetDlgItemNumber(pDialog, "currentlyUsed", iRequest);
    Enable(pDialog, "select", NKCanSelectPixelFormat(f));
    for (const FlagLabel &flag : kFlags)
        Enable(pDialog, flag.pszName, (f.dwFlags & (1u << flag.iBit)) != 0);
    Enable(pDialog, "TYPE_RGBA", f.iPixelType == NK_PFD_TYPE_RGBA);
    Enable(pDialog, "TYPE_COLORINDEX", f.iPixelType != NK_PFD_TYPE_RGBA);
    ShowCounts(pDialog, f);
}

void NKShowPixelFormatDetails(QDialog *pDialog, bool bExpanded)
{
    if (pDialog == nullptr) return;
    if (QWidget *pDetails = pDialog->findChild<QWidget *>("details"))
        pDetails->setVisible(bExpanded);
    if (QPushButton *pMore = pDialog->findChild<QPushButton *>("more"))
        pMore->setText(bExpanded ? "Less <<" : "More >>");
    pDialog->adjustSize();
}

void NKSetDlgItemNumber(QDialog *pDialog, const char *pszItem, int n)
{
    if (pDialog != nullptr) SetText(pDialog, pszItem, std::to_string(n));
}

int NKRunPixelFormatDialog(const std::vector<NKPixelFormatDescriptor> &formats, int iRequest,
                           int iFirst, QWidget *pParent)
{
    if (formats.empty()) return -1;
    const int iCount = int(formats.size());
    if (!NKCanWaitForUser())
        return iRequest == NK_PIXELFORMAT_ASK ? (iFirst >= 0 && iFirst < iCount ? iFirst : 0) + 1
                                              : -1;
    QDialog *pDialog = NKCreatePixelFormatDialog(formats, iRequest, iFirst, pParent);
    const int iResult = pDialog->exec();
    delete pDialog;
    return iResult;
}

int NKAskPixelFormat(NKDeviceContext *pDC)
{
    int iCount = 0;
    NKPixelFormatDescriptor *pFormats = NKGetPixelFormats(pDC, &iCount);
    std::vector<NKPixelFormatDescriptor> formats(pFormats, pFormats + iCount);
    NKFree(pFormats);
    int iFound = 0;
    if (g_iPixelFormatRequest == NK_PIXELFORMAT_ASK) {
        const bool bSingle =
            g_pGraphicsSettings != nullptr && g_pGraphicsSettings->bSingleBuffer != 0;
        iFound = NKFindPixelFormat(g_iDepthBitsRequest, NK_COLOR_BITS_REQUEST, bSingle,
                                   NK_PFD_DRAW_TO_WINDOW, pDC, false);
    }
    const int iFirst = NKFirstPixelFormatShown(iCount, g_iPixelFormatRequest, iFound);
    return NKRunPixelFormatDialog(formats, g_iPixelFormatRequest, iFirst, nullptr);
}
