#include "monitor/MainFrame.h"

#include "monitor/OrvixApp.h"
#include "platform/Trace.h"

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
        app.Ports().windows.SetTimer(window, SM_PIPE_TIMER, 100);
    }
    return 0;
}

void CMainFrame::OnCopyData(WindowHandle, const CopyDataRecord&) {}

void CMainFrame::OnTimer(unsigned) {}

bool CMainFrame::OnPrivateMessage(unsigned) { return false; }

void CMainFrame::OnPowerBroadcast(unsigned) {}

void CMainFrame::OnDestroy() { app.CleanupGlobalTable(); }

}  // namespace orvix
