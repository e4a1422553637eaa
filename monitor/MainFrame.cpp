#include "monitor/MainFrame.h"

#include <array>

#include "monitor/OrvixApp.h"
#include "platform/Trace.h"
#include "protocol/Protocol.h"
#include "status/UsbPrinter.h"

namespace orvix {

CMainFrame::CMainFrame(COrvixApp& application) : app(application) {
    if (!app.modelClass.empty()) {
        window = app.Ports().windows.CreateFrameWindow(app.modelClass, *this);
    }
}

int CMainFrame::OnCreate(WindowHandle self) {
    Trace("Enter CMainFrame::OnCreate\n");
    window = self;
    if (!app.pipeName.empty()) {
        app.Ports().windows.SetTimer(window, SM_PIPE_TIMER, kPipePeriod);
    }
    return 0;
}

void CMainFrame::OnCopyData(WindowHandle, const CopyDataRecord& record) {
    Trace("Enter OnCopyData: %llu, %zu bytes\n", static_cast<unsigned long long>(record.id),
          record.bytes.size());
    if (record.id == CD_HANDOFF) {
        OnHandoff(record.bytes);
    } else if (record.id == CD_JOB_INFO) {
        OnJobInfo(record.bytes);
    }
}

void CMainFrame::OnHandoff(std::span<const std::uint8_t> bytes) {
    std::string pipe;
    std::string program;
    HandoffRecord::Parse(bytes, pipe, program);
    // The record may come from any process: a name outside the local pipe namespace would make
    // the pipe read open a file, a device or a remote share, so the whole record is dropped.
    if (!pipe.empty() && !IsLocalPipeName(pipe)) {
        Trace("Hand-off refused: not a local pipe name\n");
        return;
    }
    app.pipeName = pipe;
    app.programName = program;
    Trace("Hand-off: pipe [%s], program [%s]\n", pipe.c_str(), program.c_str());
    if (!app.pipeName.empty()) {
        app.Ports().windows.SetTimer(window, SM_PIPE_TIMER, kPipePeriod);
    }
}

void CMainFrame::OnJobInfo(std::span<const std::uint8_t> bytes) {
    if (!bytes.empty()) {
        const int osClass = GetOSClass(app.Ports().version);
        switch (JobInfoEncodingFor(osClass)) {
            case JobInfoEncoding::Ansi:
                app.jobInfo = ParseJobInfoAnsi(bytes);
                break;
            case JobInfoEncoding::Wide:
                app.jobInfo = ParseJobInfoWide(bytes, app.Ports().text);
                break;
            case JobInfoEncoding::None:
                break;
        }
        Trace("Job record of class %d\n", osClass);
        TraceJobFields("copy data");
    }
    app.Ports().windows.PostMessage(window, WM_SM_JOB_STARTED);
}

void CMainFrame::OnTimer(unsigned id) {
    if (id == SM_PIPE_TIMER) {
        OnPipeTimer();
    }
}

void CMainFrame::OnPipeTimer() {
    IWindowSystem& windows = app.Ports().windows;
    if (app.pipeName.empty()) {
        // A hand-off without a pipe name replaced the one this timer was reading.
        windows.KillTimer(window, SM_PIPE_TIMER);
        return;
    }
    JobInfoAnsiRecord buffer{};
    const auto read = app.Ports().pipes.ReadOnce(app.pipeName, buffer);
    if (!read || *read == 0) {
        Trace("Pipe read: %s, retrying\n", read ? "nothing read" : "not opened");
        return;
    }
    app.jobInfo = ParseJobInfoAnsi(std::span(buffer).first(*read));
    Trace("Pipe read: %zu bytes\n", *read);
    TraceJobFields("pipe");
    windows.KillTimer(window, SM_PIPE_TIMER);
    windows.PostMessage(window, WM_SM_JOB_STARTED);
}

void CMainFrame::TraceJobFields(const char* source) const {
    Trace("Job fields from %s: [%s] [%s] [%s]\n", source, app.jobInfo.printerName.c_str(),
          app.jobInfo.spareText.c_str(), app.jobInfo.displayText.c_str());
}

bool CMainFrame::OnPrivateMessage(unsigned message) {
    switch (message) {
        case WM_SM_JOB_STARTED:
            OnJobStarted();
            return true;
        case WM_SM_POPUP_CLOSED:
            OnPopupClosed();
            return true;
        case WM_SM_EXIT_IF_IDLE:
            OnExitIfIdle();
            return true;
        case WM_SM_SHOW_ORDER_TONER:
            OnShowOderTonerWhenSMLaunched();
            return true;
        case WM_SM_KILL:
            OnKillStatusMonitorByExternal();
            return true;
        default:
            return false;
    }
}

void CMainFrame::OnJobStarted() {
    ++jobStarts;
    Trace("Job started: %s\n", app.jobInfo.printerName.c_str());
    IWindowSystem& windows = app.Ports().windows;
    // A new job cancels a pending end.
    if (m_bTerminateTimer) {
        windows.KillTimer(window, SM_TERMINATE_TIMER);
        m_bTerminateTimer = false;
    }
    // The order window exists from the first job on, so the popups' buttons can show it.
    if (app.m_ordertonerdlg.created) {
        app.m_ordertonerdlg.Hide(windows);
    } else {
        app.m_ordertonerdlg.Create(windows);
    }
    std::string& display = app.jobInfo.displayText;
    if (const std::size_t slash = display.rfind('\\'); slash != std::string::npos) {
        display.erase(0, slash + 1);
    }
    OnGetStatusForOrderToner(app.curStatus);  // a failure decodes as "no printer answers"
    Trace("Printer status: class %d, main %d, key [%s], toner %d%%\n", app.curStatus.StatusClass(),
          app.curStatus.MainStatus(), app.curStatus.GetStatusKey().c_str(),
          app.curStatus.GetTonerLevel());
}

void CMainFrame::OnPopupClosed() {
    Trace("Enter OnPopupClosed\n");
    --m_nPopupCount;
    if (m_nPopupCount == 0 || !IsAnyPopupShown()) {
        OnSMExit();
    }
}

void CMainFrame::OnExitIfIdle() {
    Trace("Enter OnExitIfIdle\n");
    if (!m_bPolling) {
        OnSMExit();
    }
}

bool CMainFrame::IsAnyPopupShown() const {
    return m_smdlg.shown != 0 || m_smbigdlg.shown != 0 || m_lowtonerdlg.shown != 0;
}

void CMainFrame::OnShowOderTonerWhenSMLaunched() {
    Trace("Enter OnShowOderTonerWhenSMLaunched\n");
    if (app.m_ordertonerdlg.shown == 0) {
        app.m_ordertonerdlg.Show(app.Ports().windows);  // nothing when never created
    } else {
        BringOrderTonerToFront();
    }
}

void CMainFrame::BringOrderTonerToFront() {
    IWindowSystem& windows = app.Ports().windows;
    const WindowHandle order = app.m_ordertonerdlg.Handle();
    windows.SetTopmost(order, true);
    windows.SetTopmost(order, false);
    if (windows.IsMinimized(order)) {
        windows.SendRestoreCommand(order);
    }
    // The foreground may only be taken by the thread that has it, so borrow its input state.
    const std::uint32_t foreground = windows.ForegroundWindowThread();
    const std::uint32_t current = windows.CurrentThreadId();
    if (foreground != current) {
        windows.AttachThreadInput(foreground, current, true);
    }
    windows.SetForegroundWindow(order);
    if (foreground != current) {
        windows.AttachThreadInput(foreground, current, false);
    }
    windows.InvalidateRect(order, true);
}

void CMainFrame::OnKillStatusMonitorByExternal() {
    Trace("Enter OnKillStatusMonitorByExternal\n");
    OnSMExit();
}

void CMainFrame::OnSMExit() {
    Trace("Enter OnSMExit\n");
    IWindowSystem& windows = app.Ports().windows;
    // Hidden popups are left to the end of the process.
    for (PopupWindow* popup : {&m_smdlg, &m_smbigdlg, &m_lowtonerdlg}) {
        if (popup->shown != 0 && popup->window != 0) {
            windows.DestroyWindow(popup->window);
            popup->window = 0;
        }
    }
    if (m_bPolling) {
        windows.KillTimer(window, SM_POLLING_TIMER);
    }
    if (m_bTerminateTimer) {
        windows.KillTimer(window, SM_TERMINATE_TIMER);
    }
    m_bTerminateTimer = false;
    m_bPolling = false;
    m_smdlg.shown = 0;
    m_smbigdlg.shown = 0;
    m_lowtonerdlg.shown = 0;
    if (app.m_ordertonerdlg.created) {
        app.m_ordertonerdlg.Destroy(windows);
    }
    if (window != 0) {
        windows.DestroyWindow(window);  // OnDestroy runs during the call
    }
    // No destructor, no further message, no framework shutdown.
    app.Ports().process.ExitProcess(0);
}

void CMainFrame::OnDestroy() {
    Trace("Enter CMainFrame::OnDestroy\n");
    app.CleanupGlobalTable();
}

void CMainFrame::OnPowerBroadcast(unsigned event) {
    Trace("Enter OnPowerBroadcast: %u\n", event);
    if (event == PBT_APMSUSPEND) {
        if (m_bPolling) {
            OnSMExit();  // a watched job is not carried across a suspend
        }
    } else if (event == PBT_APMRESUMESUSPEND) {
        if (m_bPolling) {
            app.Ports().windows.SetTimer(window, SM_POLLING_TIMER, kPollingPeriod);
        }
    }
}

UsbPrinterAccess CMainFrame::Printer() const {
    return UsbPrinterAccess{app.Ports().usb, app.Ports().debugOutput, app.modelString,
                            app.devicePath};
}

bool CMainFrame::GetStatusData(std::span<std::uint8_t, 8> record) {
    return orvix::GetStatusData(Printer(), record);
}

bool CMainFrame::GetServiceTagData(std::span<std::uint8_t, 8> reply) {
    return orvix::GetServiceTagData(Printer(), reply);
}

bool CMainFrame::OnGetStatusForOrderToner(StatusInfo& status) {
    return ReadPrinterStatus(Printer(), status);
}

}  // namespace orvix
