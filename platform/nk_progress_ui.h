// platform/nk_progress_ui.h -- what the progress operations need from the
// status bar: its mode (progress bar and/or Cancel button shown), the status
// line, the bar's range and position, and an event pump that keeps windows
// painted while letting only the Cancel button through.
//
// The progress operations (core/nk_progress.cpp) hold the progress state and
// talk to the one NKProgressUI that is installed. The status bar of the main
// window installs its own implementation; until then, and in tests and batch
// runs, a headless one records what would be shown. Plain C++, no Qt.
//
// The cancel and quit requests are flags of the base class so that every
// implementation shares them: the Cancel button, a test or a batch run's
// signal handler sets the cancel request; the user interface sets the quit
// request when the user asks to quit during a long operation. Both are
// atomic so that they may be set from another thread.
#pragma once

#include <atomic>
#include <string>

// Status bar modes, as the status bar's mode function takes them. Without
// NK_STATUSBAR_NORMAL the other two flags say which children are shown.
enum : unsigned int {
    NK_STATUSBAR_NORMAL = 0x10000000u,
    NK_STATUSBAR_CANCEL = 0x20000000u,
    NK_STATUSBAR_PROGRESS = 0x40000000u
};

class NKProgressUI {
public:
    virtual ~NKProgressUI() = default;

    // True while a status bar exists; without one the text and mode
    // functions do nothing and the mode function answers false.
    virtual bool HasStatusbar() const = 0;
    // Switches the bar to a mode; false without a bar or when a child
    // (button or progress bar) cannot be made.
    virtual bool SetStatusbarMode(unsigned int uFlags) = 0;
    virtual bool IsProgressBarShown() const = 0;
    virtual bool IsCancelButtonShown() const = 0;
    // Shows the text on the status line (part 0) at once.
    virtual void SetStatusText(const char *pszText) = 0;
    // The progress bar's range becomes 0..iRange, its position 0, its increment 1.
    virtual void SetProgressRange(int iRange) = 0;
    virtual void SetProgressPosition(int iPosition) = 0;
    // Handles every waiting event: paint events and the Cancel button's
    // click are delivered, all other input is dropped. A quit request met
    // on the way is recorded (RequestQuit) and left for the main loop.
    virtual void PumpEvents() = 0;

    void RequestCancel() { m_bCancelRequested = true; }
    bool IsCancelRequested() const { return m_bCancelRequested; }
    void ClearCancelRequest() { m_bCancelRequested = false; }
    void RequestQuit(int iExitCode)
    {
        m_iQuitExitCode = iExitCode;
        m_bQuitRequested = true;
    }
    bool IsQuitRequested() const { return m_bQuitRequested; }
    int GetQuitExitCode() const { return m_iQuitExitCode; }
    // Called by the main loop once it carries the quit out.
    void ClearQuitRequest() { m_bQuitRequested = false; }

private:
    std::atomic<bool> m_bCancelRequested{false};
    std::atomic<bool> m_bQuitRequested{false};
    std::atomic<int> m_iQuitExitCode{0};
};

// The status bar without a window: it records the mode, text, range and
// position it is given so that tests and batch runs can read them.
class NKHeadlessProgressUI : public NKProgressUI {
public:
    bool HasStatusbar() const override { return m_bStatusbar; }
    bool SetStatusbarMode(unsigned int uFlags) override;
    bool IsProgressBarShown() const override { return m_bProgressShown; }
    bool IsCancelButtonShown() const override { return m_bCancelShown; }
    void SetStatusText(const char *pszText) override;
    void SetProgressRange(int iRange) override;
    void SetProgressPosition(int iPosition) override;
    void PumpEvents() override { m_iPumpCount++; }

    // Makes the recorded bar appear or vanish (vanishing clears its mode).
    void SetStatusbarPresent(bool bPresent);
    bool IsNormalMode() const { return m_bNormal; }
    const std::string &GetStatusText() const { return m_StatusText; }
    int GetProgressRange() const { return m_iRange; }
    int GetProgressPosition() const { return m_iPosition; }
    int GetPumpCount() const { return m_iPumpCount; }
    // Back to the start-up state: a bar in normal mode, no requests.
    void Reset();

private:
    bool m_bStatusbar = true;
    bool m_bNormal = true;
    bool m_bCancelShown = false;
    bool m_bProgressShown = false;
    std::string m_StatusText;
    int m_iRange = 0;
    int m_iPosition = 0;
    int m_iPumpCount = 0;
};

// The installed implementation; never null (the headless one by default).
NKProgressUI *NKGetProgressUI(void);
// Installs an implementation the caller keeps alive; null puts the headless
// one back.
void NKSetProgressUI(NKProgressUI *pUI);
// The headless implementation itself, installed or not.
NKHeadlessProgressUI *NKGetHeadlessProgressUI(void);
