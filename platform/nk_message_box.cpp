// platform/nk_message_box.cpp -- message boxes on QMessageBox, or on
// standard error where no one could answer one (see nk_message_box.h).
#include "platform/nk_message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

#include <cstdio>
#include <cstdlib>

namespace {

std::string sg_LastTitle;
std::string sg_LastText;
int sg_iCount = 0;

// A box waits only where a user can see and answer it.
bool CanWait(void)
{
    const char *pszCi = std::getenv("CI");
    if (pszCi != nullptr && pszCi[0] != '\0') return false;
    if (qobject_cast<QApplication *>(QCoreApplication::instance()) == nullptr) return false;
    const QString platform = QGuiApplication::platformName();
    return platform != "offscreen" && platform != "minimal";
}

QMessageBox::Icon ToQtIcon(NKMessageBoxIcon eIcon)
{
    switch (eIcon) {
    case NK_MB_ICON_WARNING:
        return QMessageBox::Warning;
    case NK_MB_ICON_ERROR:
        return QMessageBox::Critical;
    default:
        return QMessageBox::Information;
    }
}

}  // namespace

void NKMessageBox(const char *pszText, const char *pszTitle, NKMessageBoxIcon eIcon)
{
    sg_LastTitle = pszTitle != nullptr ? pszTitle : "";
    sg_LastText = pszText != nullptr ? pszText : "";
    sg_iCount++;
    if (!CanWait()) {
        std::fprintf(stderr, "%s: %s\n", sg_LastTitle.c_str(), sg_LastText.c_str());
        return;
    }
    QMessageBox box(ToQtIcon(eIcon), QString::fromUtf8(sg_LastTitle.c_str()),
                    QString::fromUtf8(sg_LastText.c_str()), QMessageBox::Ok);
    box.exec();
}

const std::string &NKGetLastMessageBoxTitle(void) { return sg_LastTitle; }

const std::string &NKGetLastMessageBoxText(void) { return sg_LastText; }

int NKGetMessageBoxCount(void) { return sg_iCount; }

void NKResetMessageBoxes(void)
{
    sg_LastTitle.clear();
    sg_LastText.clear();
    sg_iCount = 0;
}
