#include "ordering/OrderTonerDlg.h"

namespace orvix {

bool COrderTonerDlg::Create(IWindowSystem& windows) {
    if (created) {
        return true;
    }
    window = windows.CreateDialogWindow(IDD);
    created = window != 0;
    return created;
}

void COrderTonerDlg::Show(IWindowSystem& windows) {
    if (!created) {
        return;
    }
    windows.ShowWindow(window, ShowCommand::Show);
    shown = 1;
}

void COrderTonerDlg::Hide(IWindowSystem& windows) {
    if (!created) {
        return;
    }
    windows.ShowWindow(window, ShowCommand::Hide);
    shown = 0;
}

void COrderTonerDlg::Destroy(IWindowSystem& windows) {
    if (!created) {
        return;
    }
    windows.DestroyWindow(window);
    window = 0;
    created = false;
    shown = 0;
}

}  // namespace orvix
