#pragma once
#include <optional>
#include <string>
#include <vector>

#include "localization/ComboBox.h"

namespace orvix::test {

// An unsorted combo box with the list rules of the real control: items appended in call
// order, CB_SELECTSTRING's wrap-around, case-insensitive prefix search.
class FakeComboBox final : public IComboBox {
public:
    int AddString(const std::string& text) override;
    int SelectString(int startIndex, const std::string& text) override;
    int GetCurSel() override { return selected; }
    std::optional<std::string> GetItemText(int index) override;

    // What the user does: picks an item (kError clears the selection).
    void Choose(int index) { selected = index; }

    std::vector<std::string> items;
    int selected = kError;
    std::vector<int> selectCalls;  // the start index of every SelectString call
};

}  // namespace orvix::test
