// tests/app/test_gl_toolbar_images.cpp -- the tool bar's button images:
// each button shows an image of its own, neither blank nor the letter box
// of its tooltip's initials that the bar once drew, both as the bar shows
// them and as kept in the program's resources, and the one drawn for what
// the button does. Needs an X display.
#include <QAction>
#include <QDir>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QToolBar>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/nk_toolbar.h"
#include "tests/app/app_window_fixture.h"

namespace {

// A button's image as the bar draws it at its 17 x 16 size.
QImage Render(const QIcon &icon)
{
    QImage image(17, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    icon.paint(&painter, image.rect());
    return image;
}

// The letter box the bar drew before it had images: the tooltip's first
// letter and the first letter of its last word, in a frame.
QImage LetterBox(const QString &tip)
{
    QImage image(17, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setPen(QColor(20, 40, 90));
    QFont font = painter.font();
    font.setPixelSize(9);
    font.setBold(true);
    painter.setFont(font);
    QString letters = tip.left(1);
    const qsizetype iLast = tip.lastIndexOf(' ');
    if (iLast > 0) letters += tip.mid(iLast + 1, 1);
    painter.drawText(image.rect(), Qt::AlignCenter, letters.toUpper());
    painter.drawRect(0, 0, 16, 15);
    return image;
}

// Pixels that a viewer sees as different: a channel apart by more than 40.
int DifferingPixels(const QImage &a, const QImage &b)
{
    int iCount = 0;
    for (int y = 0; y < a.height(); y++) {
        for (int x = 0; x < a.width(); x++) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > 40 || std::abs(qGreen(p) - qGreen(q)) > 40 ||
                std::abs(qBlue(p) - qBlue(q)) > 40 || std::abs(qAlpha(p) - qAlpha(q)) > 40)
                iCount++;
        }
    }
    return iCount;
}

int InkedPixels(const QImage &image)
{
    int iCount = 0;
    for (int y = 0; y < image.height(); y++)
        for (int x = 0; x < image.width(); x++)
            if (qAlpha(image.pixel(x, y)) > 64) iCount++;
    return iCount;
}

struct NamedImage {
    std::string name;
    QImage image;
};

// Every image has ink, differs from every other one in at least 12 of its
// 272 pixels, and from the letter box of its tooltip (when it has one) in
// at least 40.
void ExpectDistinctImages(const std::vector<NamedImage> &images, const std::vector<QString> &tips)
{
    for (size_t i = 0; i < images.size(); i++) {
        EXPECT_EQ(images[i].image.size(), QSize(17, 16)) << images[i].name;
        EXPECT_GE(InkedPixels(images[i].image), 20) << images[i].name;
        if (i < tips.size()) {
            EXPECT_GE(DifferingPixels(images[i].image, LetterBox(tips[i])), 40) << images[i].name;
        }
        for (size_t j = i + 1; j < images.size(); j++) {
            EXPECT_GE(DifferingPixels(images[i].image, images[j].image), 12)
                << images[i].name << " and " << images[j].name;
        }
    }
}

std::vector<QAction *> Buttons(void)
{
    std::vector<QAction *> buttons;
    for (QAction *pAction : NKGetToolbarWindow()->actions())
        if (!pAction->isSeparator()) buttons.push_back(pAction);
    return buttons;
}

QImage ResourceImage(const char *pszName)
{
    return Render(QIcon(QStringLiteral(":/toolbar/%1.svg").arg(QLatin1String(pszName))));
}

class ToolbarImages : public ShellWindowTest {
protected:
    void SetUp() override
    {
        ShellWindowTest::SetUp();
        ASSERT_NE(NKGetToolbarWindow(), nullptr);
    }
    void TearDown() override
    {
        g_bToolbarShown = 1;
        ShellWindowTest::TearDown();
    }
};

TEST_F(ToolbarImages, EveryButtonShowsItsOwnImageNotALetterBox)
{
    std::vector<NamedImage> images;
    std::vector<QString> tips;
    for (QAction *pAction : Buttons()) {
        EXPECT_FALSE(pAction->icon().isNull()) << pAction->toolTip().toStdString();
        images.push_back({pAction->toolTip().toStdString(), Render(pAction->icon())});
        tips.push_back(pAction->toolTip());
    }
    EXPECT_EQ(images.size(), 20u);
    ExpectDistinctImages(images, tips);
}

// The program's resources hold one image per button, each its own.
TEST_F(ToolbarImages, TheProgramKeepsAnImageForEveryButton)
{
    const QStringList files = QDir(":/toolbar").entryList({"*.svg"}, QDir::Files, QDir::Name);
    EXPECT_EQ(files.size(), 20);
    std::vector<NamedImage> images;
    for (const QString &file : files)
        images.push_back({file.toStdString(), Render(QIcon(":/toolbar/" + file))});
    ExpectDistinctImages(images, {});
}

// Each button shows the image drawn for what it does (a swap of two images
// would leave them all distinct).
TEST_F(ToolbarImages, EachButtonShowsTheImageDrawnForIt)
{
    const struct {
        int iId;
        const char *pszImage;
    } buttons[] = {{40256, "open"},          {40327, "about"},     {40354, "surface"},
                   {40355, "lines"},         {40356, "points"},    {40357, "outline"},
                   {40358, "hiddenlines"},   {40360, "mesh"},      {40275, "walk"},
                   {40276, "moveasoutline"}, {40316, "resetview"}, {40318, "info"},
                   {40328, "text"},          {40319, "legend"},    {40320, "playbackward"},
                   {40321, "stepbackward"},  {40322, "pause"},     {40323, "stop"},
                   {40324, "stepforward"},   {40325, "play"}};
    for (const auto &button : buttons) {
        QAction *pAction = NKGetToolbarAction(button.iId);
        ASSERT_NE(pAction, nullptr) << button.iId;
        EXPECT_EQ(DifferingPixels(Render(pAction->icon()), ResourceImage(button.pszImage)), 0)
            << button.pszImage;
    }
}

}  // namespace
