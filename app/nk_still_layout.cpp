// app/nk_still_layout.cpp -- the style that keeps the main window's layout
// from animating the view and the tool bar (see nk_still_layout.h).
#include "app/nk_still_layout.h"

#include <QApplication>
#include <QPointer>
#include <QProxyStyle>
#include <QWidget>

namespace {

// The application's style in every respect but the animation time of
// widgets.
class StillLayoutStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint eHint, const QStyleOption *pOption, const QWidget *pWidget,
                  QStyleHintReturn *pReturn) const override
    {
        if (eHint == QStyle::SH_Widget_Animation_Duration) return 0;
        return QProxyStyle::styleHint(eHint, pOption, pWidget, pReturn);
    }
};

// One for the program, deleted with the application.
QPointer<StillLayoutStyle> sg_pStyle;

}  // namespace

void NKLayOutWithoutAnimation(QWidget *pWidget)
{
    if (pWidget == nullptr || QCoreApplication::instance() == nullptr) return;
    if (sg_pStyle == nullptr) {
        sg_pStyle = new StillLayoutStyle(QApplication::style()->name());
        sg_pStyle->setParent(QCoreApplication::instance());
    }
    pWidget->setStyle(sg_pStyle);
}
