#pragma once
#include "platform/Handles.h"
#include "platform/WindowSystem.h"

namespace orvix {

// The supplies order window (dialog 132). Created at most once per process, then only shown
// and hidden.
class COrderTonerDlg {
public:
    static constexpr int IDD = 132;

    bool Create(IWindowSystem& windows);
    void Show(IWindowSystem& windows);
    void Hide(IWindowSystem& windows);
    void Destroy(IWindowSystem& windows);

    WindowHandle Handle() const { return window; }

    bool created = false;  // its window exists
    int shown = 0;         // 1 while its window is shown

private:
    WindowHandle window = 0;
};

}  // namespace orvix
