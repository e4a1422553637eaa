// Reads hand-off records of any length: the names stay inside their fields, a name taken as a
// local pipe name really is one, and whatever was read can be handed over again unchanged.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "protocol/Protocol.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

bool StartsWithPipePrefix(const std::string& name) {
    const std::string prefix = "\\\\.\\pipe\\";
    if (name.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const char c = name[i] >= 'A' && name[i] <= 'Z' ? static_cast<char>(name[i] + 32) : name[i];
        if (c != prefix[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using orvix::HandoffRecord;
    std::string pipe;
    std::string program;
    HandoffRecord::Parse(std::span<const std::uint8_t>(data, size), pipe, program);
    Check(pipe.size() < HandoffRecord::kPipeNameSlot);
    Check(program.size() < HandoffRecord::kProgramNameSlot);
    Check(pipe.find('\0') == std::string::npos && program.find('\0') == std::string::npos);
    if (size <= HandoffRecord::kProgramNameOffset) {
        Check(program.empty());
    }

    if (orvix::IsLocalPipeName(pipe)) {
        Check(StartsWithPipePrefix(pipe));
        const std::string rest = pipe.substr(9);
        Check(!rest.empty() && rest.find_first_of("\\/") == std::string::npos);
        Check(rest.find_first_not_of(". ") != std::string::npos);
    }

    const auto again = HandoffRecord::Make(pipe, program);
    Check(again.has_value());
    std::string pipe2;
    std::string program2;
    HandoffRecord::Parse(again->bytes, pipe2, program2);
    Check(pipe2 == pipe && program2 == program);
    return 0;
}
