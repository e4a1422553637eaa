// Decodes records of any length, takes their keys and copies, and checks that a copy keeps
// its own bytes when the original decodes again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "status/StatusInfo.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    orvix::StatusInfo status;
    status.Decode(data, size);
    const std::string key = status.GetStatusKey();
    Check(status.Raw().size() == (size <= 8 ? 8 : size + 1));
    Check(status.StatusClass() == 1 || status.StatusClass() == 2 || status.StatusClass() == 4 ||
          status.StatusClass() == -1);
    Check(status.GetTonerLevel() >= 0 && status.GetTonerLevel() <= 255);
    Check(key.empty() || key.rfind("SM_", 0) == 0);
    Check(status.ExtraText().size() + 8 <= status.Raw().size());

    const orvix::StatusInfo copy = status;
    const std::vector<std::uint8_t> before(status.Raw().begin(), status.Raw().end());

    // Decode the input again from its middle: a different record of a different length.
    const std::size_t half = size / 2;
    status.Decode(data + half, size - half);
    status.GetStatusKey();
    Check(std::vector<std::uint8_t>(copy.Raw().begin(), copy.Raw().end()) == before);
    Check(copy.GetStatusKey() == key);

    orvix::StatusInfo assigned;
    assigned = copy;
    assigned.Clear();
    Check(assigned.GetTonerLevel() == 0 && assigned.Raw().size() == before.size());
    Check(copy.Raw().data() != assigned.Raw().data() || before.empty());
    return 0;
}
