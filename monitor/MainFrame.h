#pragma once
#include <array>
#include <cstdint>
#include <span>

#include "platform/Handles.h"
#include "platform/WindowSystem.h"

namespace orvix {

class COrvixApp;
class StatusInfo;
struct UsbPrinterAccess;

// Timers of the main window.
inline constexpr unsigned SM_POLLING_TIMER = 1000;
inline constexpr unsigned SM_TERMINATE_TIMER = 1001;
inline constexpr unsigned SM_PIPE_TIMER = 1002;
inline constexpr unsigned SM_POPUPED_TIMER = 1003;

inline constexpr unsigned kPollingPeriod = 3000;  // ms
inline constexpr unsigned kPipePeriod = 100;      // ms

// Power events the main window acts on.
inline constexpr unsigned PBT_APMSUSPEND = 4;
inline constexpr unsigned PBT_APMRESUMESUSPEND = 7;

// What the main window knows of a popup window until the popup's own dialog class takes its
// place: the window, once created, and whether it is shown.
struct PopupWindow {
    WindowHandle window = 0;
    int shown = 0;                // 1 while its window is shown
    bool showOrderButton = true;  // the small window's Order Toner button
};

// The hidden main window of Orvix: found by other processes, receiver of job notifications,
// owner of the timers and of the popup windows; the program ends only through OnSMExit.
class CMainFrame final : public IFrameEvents {
public:
    explicit CMainFrame(COrvixApp& app);
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;
    ~CMainFrame() override = default;

    WindowHandle Handle() const { return window; }

    // Window events.
    int OnCreate(WindowHandle self) override;
    void OnCopyData(WindowHandle sender, const CopyDataRecord& record) override;
    void OnTimer(unsigned id) override;
    bool OnPrivateMessage(unsigned message) override;
    void OnPowerBroadcast(unsigned event) override;
    void OnDestroy() override;

    // Message handlers.
    void OnJobStarted();
    void OnPopupClosed();
    void OnExitIfIdle();
    void OnShowOderTonerWhenSMLaunched();
    void OnKillStatusMonitorByExternal();

    void OnSMExit();
    void BringOrderTonerToFront();
    bool IsAnyPopupShown() const;

    // The printer's vendor requests on the application's device path; the reply stays all zero
    // unless the request succeeded.
    bool GetStatusData(std::span<std::uint8_t, 8> record);
    bool GetServiceTagData(std::span<std::uint8_t, 8> reply);
    // A fresh status decoded into `status` (a failed read decodes as the all-zero record).
    bool OnGetStatusForOrderToner(StatusInfo& status);

    // Job starts handled so far, for callers and tests.
    int JobStarts() const { return jobStarts; }

    PopupWindow m_smdlg;
    PopupWindow m_lowtonerdlg;
    PopupWindow m_smbigdlg;
    std::int32_t m_nPopupCount = 0;
    bool m_bTerminateTimer = false;
    bool m_bPolling = false;
    bool m_bPopupTimer = false;

private:
    void OnHandoff(std::span<const std::uint8_t> bytes);
    void OnJobInfo(std::span<const std::uint8_t> bytes);
    void OnPipeTimer();
    void TraceJobFields(const char* source) const;
    // The application's ports, model string and stored device path, for the USB requests.
    UsbPrinterAccess Printer() const;

    COrvixApp& app;
    WindowHandle window = 0;
    int jobStarts = 0;
};

}  // namespace orvix
