// app/nk_about.cpp -- the About box (see nk_about.h).
#include "app/nk_about.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFont>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QVBoxLayout>

#include "app/nk_main_window.h"
#include "app/nk_window_utils.h"
#include "core/nk_model_hooks.h"
#include "platform/nk_platform.h"

namespace {

QPointer<QDialog> sg_pAbout;

// The logo: the product's initials in a framed square of our own drawing.
QPixmap MakeLogo(void)
{
    QPixmap logo(48, 48);
    logo.fill(QColor(30, 70, 140));
    QPainter painter(&logo);
    painter.setPen(Qt::white);
    QFont font("Arial");
    font.setBold(true);
    font.setPixelSize(22);
    painter.setFont(font);
    painter.drawText(logo.rect(), Qt::AlignCenter, "QD");
    painter.drawRect(0, 0, 47, 47);
    return logo;
}

QLabel *BoldLine(const QString &text, int iPixelSize, const char *pszName)
{
    auto *pLabel = new QLabel(text);
    QFont font("Arial");
    font.setBold(true);
    font.setPixelSize(iPixelSize);
    pLabel->setFont(font);
    pLabel->setObjectName(pszName);
    return pLabel;
}

QFrame *EtchedLine(void)
{
    auto *pLine = new QFrame;
    pLine->setFrameShape(QFrame::HLine);
    pLine->setFrameShadow(QFrame::Sunken);
    return pLine;
}

// The dialog's widgets: logo beside the name and version lines, then the
// description between two etched lines, then OK.
void BuildAboutBox(QDialog *pDialog)
{
    auto *pLogo = new QLabel;
    pLogo->setPixmap(MakeLogo());
    auto *pLines = new QVBoxLayout;
    pLines->addWidget(BoldLine(NK_PRODUCT_NAME, 14, "name"));
    pLines->addWidget(BoldLine(
        QString::asprintf("Version %s-%d", NK_VERSION_TEXT, g_iNKBuildNumber), 12, "version"));
    auto *pTop = new QHBoxLayout;
    pTop->addWidget(pLogo);
    pTop->addLayout(pLines, 1);
    auto *pButtons = new QDialogButtonBox(QDialogButtonBox::Ok);
    QObject::connect(pButtons, &QDialogButtonBox::accepted, pDialog, &QDialog::accept);
    auto *pLayout = new QVBoxLayout(pDialog);
    pLayout->addLayout(pTop);
    pLayout->addWidget(EtchedLine());
    pLayout->addWidget(
        new QLabel("This program is a viewer for NKF files generated with Quolin Harl."));
    pLayout->addWidget(EtchedLine());
    pLayout->addWidget(pButtons);
}

}  // namespace

int NKRunAboutBox(void)
{
    NKEnableAllTopWindows(false);
    {
        QDialog dialog(NKGetMainWindow());
        dialog.setWindowTitle(
            QString::asprintf("About %s for %s", NK_PRODUCT_NAME, NKGetPlatformName().c_str()));
        // A window stays usable under its disabled owner.
        dialog.setEnabled(true);
        BuildAboutBox(&dialog);
        dialog.adjustSize();
        NKPlaceWindow(&dialog, NK_PLACE_CENTRE, nullptr, 0, 0);
        sg_pAbout = &dialog;
        dialog.exec();
    }
    NKEnableAllTopWindows(true);
    NKInvalidateView();
    return 1;
}

QDialog *NKGetAboutBox(void) { return sg_pAbout; }
