// app/nk_view_window.h -- the 3-D view: a QWindow with its own
// compatibility-profile OpenGL context, embedded in the main window.
// For now it only clears to the dark background; scene drawing comes later.
#pragma once

#include <QOpenGLContext>
#include <QWindow>

#include <memory>

class NKViewWindow : public QWindow {
    Q_OBJECT
public:
    NKViewWindow();
    ~NKViewWindow() override;

    QOpenGLContext *Context() const { return m_pContext.get(); }
    // Draws one frame now when the window is exposed.
    void Render();

protected:
    void exposeEvent(QExposeEvent *pEvent) override;
    void resizeEvent(QResizeEvent *pEvent) override;

private:
    std::unique_ptr<QOpenGLContext> m_pContext;
};
