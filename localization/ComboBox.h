#pragma once
#include <optional>
#include <string>

namespace orvix {

// A country combo box (an unsorted drop-down list) as the country logic uses it.
class IComboBox {
public:
    static constexpr int kError = -1;  // CB_ERR

    virtual ~IComboBox() = default;

    // CB_ADDSTRING: appends `text` as the last item; its index, or kError.
    virtual int AddString(const std::string& text) = 0;
    // CB_SELECTSTRING: selects the first item whose text begins with `text` (without regard
    // to case), searching from the item after `startIndex` to the end and then from the top
    // back to `startIndex`; -1 searches the whole list from the top. The selected index, or
    // kError with the selection unchanged.
    virtual int SelectString(int startIndex, const std::string& text) = 0;
    // CB_GETCURSEL: the selected index, or kError when nothing is selected.
    virtual int GetCurSel() = 0;
    // CB_GETLBTEXT: the text of item `index`; nullopt for an index out of range.
    virtual std::optional<std::string> GetItemText(int index) = 0;
};

}  // namespace orvix
