#include "tests/fakes/FakeComboBox.h"

#include <cstddef>

namespace orvix::test {
namespace {

// Case folding of the Windows-1252 letters, as the list's search compares them.
unsigned char Fold(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return static_cast<unsigned char>(c + 0x20);
    }
    return c;
}

bool StartsWithNoCase(const std::string& item, const std::string& prefix) {
    if (prefix.size() > item.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (Fold(static_cast<unsigned char>(item[i])) !=
            Fold(static_cast<unsigned char>(prefix[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

int FakeComboBox::AddString(const std::string& text) {
    items.push_back(text);
    return static_cast<int>(items.size()) - 1;
}

int FakeComboBox::SelectString(int startIndex, const std::string& text) {
    selectCalls.push_back(startIndex);
    const int count = static_cast<int>(items.size());
    if (count == 0) {
        return kError;
    }
    // The search begins after startIndex and wraps around to it; -1 (or an index out of
    // range) searches from the top.
    const int start = (startIndex < 0 || startIndex >= count) ? -1 : startIndex;
    for (int step = 1; step <= count; ++step) {
        const int index = (start + step) % count;
        if (StartsWithNoCase(items[static_cast<std::size_t>(index)], text)) {
            selected = index;
            return index;
        }
    }
    return kError;
}

std::optional<std::string> FakeComboBox::GetItemText(int index) {
    if (index < 0 || index >= static_cast<int>(items.size())) {
        return std::nullopt;
    }
    return items[static_cast<std::size_t>(index)];
}

}  // namespace orvix::test
