// platform/nk_printer.cpp -- printers through Qt PrintSupport: the default
// printer's page read without a dialog, and one-page jobs painted with
// QPainter (see nk_printer.h).
#include "platform/nk_printer.h"

#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

struct Headless {
    bool bActive = false;
    bool bHasPrinter = false;
    NKPrinterPage page;
    std::string szPdfFile;
} sg_Headless;

}  // namespace

class NKPrintJob {
public:
    QPrinter printer{QPrinter::HighResolution};
    QPainter painter;
};

void NKSetHeadlessPrinter(const NKPrinterPage *pPage, const char *pszPdfFile)
{
    sg_Headless.bActive = true;
    sg_Headless.bHasPrinter = pPage != nullptr;
    if (pPage != nullptr) sg_Headless.page = *pPage;
    sg_Headless.szPdfFile = pszPdfFile != nullptr ? pszPdfFile : "";
}

void NKUseSystemPrinters(void) { sg_Headless = Headless(); }

bool NKGetDefaultPrinterPage(NKPrinterPage *pPage)
{
    if (sg_Headless.bActive) {
        if (sg_Headless.bHasPrinter) *pPage = sg_Headless.page;
        return sg_Headless.bHasPrinter;
    }
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) return false;
    QPrinter printer(info, QPrinter::HighResolution);
    const QPageLayout layout = printer.pageLayout();
    const QSizeF paper = layout.pageSize().size(QPageSize::Millimeter);
    const QMarginsF margins = layout.margins(QPageLayout::Millimeter);
    pPage->szName = info.printerName().toStdString();
    pPage->iPaperWidth = static_cast<int>(paper.width() * 100.0);
    pPage->iPaperHeight = static_cast<int>(paper.height() * 100.0);
    pPage->iTop = static_cast<int>(margins.top() * 100.0);
    pPage->iLeft = static_cast<int>(margins.left() * 100.0);
    pPage->iBottom = static_cast<int>(margins.bottom() * 100.0);
    pPage->iRight = static_cast<int>(margins.right() * 100.0);
    pPage->bLandscape = layout.orientation() == QPageLayout::Landscape;
    return true;
}

NKPrintJob *NKBeginPrintJob(const NKPrinterPage *pPage, const char *pszDocument)
{
    auto *pJob = new NKPrintJob;
    if (sg_Headless.bActive) {
        if (!sg_Headless.bHasPrinter) {
            delete pJob;
            return nullptr;
        }
        pJob->printer.setOutputFormat(QPrinter::PdfFormat);
        pJob->printer.setOutputFileName(QString::fromStdString(sg_Headless.szPdfFile));
    } else {
        const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(pPage->szName));
        if (info.isNull()) {
            delete pJob;
            return nullptr;
        }
        pJob->printer.setPrinterName(info.printerName());
    }
    pJob->printer.setResolution(300);
    pJob->printer.setFullPage(true);
    const QSizeF paper(pPage->iPaperWidth / 100.0, pPage->iPaperHeight / 100.0);
    pJob->printer.setPageSize(QPageSize(paper, QPageSize::Millimeter));
    pJob->printer.setPageOrientation(pPage->bLandscape ? QPageLayout::Landscape
                                                       : QPageLayout::Portrait);
    pJob->printer.setDocName(QString::fromUtf8(pszDocument));
    if (!pJob->painter.begin(&pJob->printer)) {
        delete pJob;
        return nullptr;
    }
    pJob->painter.setBrush(Qt::black);
    pJob->painter.setFont(QFont("Arial"));
    return pJob;
}

double NKPrintJobPixelsPerMm(const NKPrintJob *pJob) { return pJob->printer.resolution() / 25.4; }

void NKPrintJobDrawImage(NKPrintJob *pJob, const uint8_t *pRgb, int iWidth, int iHeight, int x,
                         int y, int w, int h)
{
    const QImage image(pRgb, iWidth, iHeight, 3 * iWidth, QImage::Format_RGB888);
    pJob->painter.drawImage(QRect(x, y, w, h), image.mirrored(false, true));
}

void NKPrintJobStrokeRect(NKPrintJob *pJob, int x, int y, int w, int h)
{
    pJob->painter.save();
    pJob->painter.setPen(QPen(Qt::black, 0));
    pJob->painter.setBrush(Qt::NoBrush);
    pJob->painter.drawRect(QRect(x, y, w, h));
    pJob->painter.restore();
}

bool NKEndPrintJob(NKPrintJob *pJob, bool bAbort)
{
    bool bDone = false;
    if (bAbort) {
        pJob->printer.abort();
        pJob->painter.end();
    } else {
        bDone = pJob->painter.end();
    }
    delete pJob;
    return bDone;
}
