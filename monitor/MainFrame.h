#pragma once
#include "platform/Handles.h"
#include "platform/WindowSystem.h"

namespace orvix {

class COrvixApp;

// Timers of the main window.
inline constexpr unsigned SM_POLLING_TIMER = 1000;
inline constexpr unsigned SM_TERMINATE_TIMER = 1001;
inline constexpr unsigned SM_PIPE_TIMER = 1002;
inline constexpr unsigned SM_POPUPED_TIMER = 1003;

// The hidden main window of Orvix: found by other processes, owner of the timers.
class CMainFrame final : public IFrameEvents {
public:
    explicit CMainFrame(COrvixApp& app);
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;
    ~CMainFrame() override = default;

    WindowHandle Handle() const { return window; }

    int OnCreate(WindowHandle self) override;
    void OnCopyData(WindowHandle sender, const CopyDataRecord& record) override;
    void OnTimer(unsigned id) override;
    bool OnPrivateMessage(unsigned message) override;
    void OnPowerBroadcast(unsigned event) override;
    void OnDestroy() override;

private:
    COrvixApp& app;
    WindowHandle window = 0;
};

}  // namespace orvix
