#include "platform/sim/SimState.h"

#include "platform/win32/Win32Api.h"

#include <algorithm>
#include <charconv>
#include <iterator>

#include "platform/BoundedText.h"
#include "platform/portable/PortableProfile.h"

namespace orvix::sim {

const char kSimMarker[] = "ORVIX-SIMULATED-PRINTER";

namespace {

constexpr char kDefaultPath[] =
    "\\\\?\\usb#vid_0000&pid_0000#ORVIX-SIMULATED-PRINTER#"
    "{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";

// Values are read through a buffer of this size, far above any path or device ID.
constexpr std::size_t kValueBuffer = 1024;
constexpr std::size_t kSectionBuffer = 64 * 1024;

// "name=value" lines of a section; lines without "=" name nothing.
std::vector<std::pair<std::string, std::string>> Pairs(const ProfileDocument& file,
                                                       const char* section) {
    std::vector<std::pair<std::string, std::string>> pairs;
    const std::vector<char> list = file.GetSection(section, kSectionBuffer);
    for (std::size_t at = 0; at < list.size() && list[at] != '\0';) {
        const std::string_view line = TextBeforeZero(std::span(list).subspan(at));
        at += line.size() + 1;
        if (const std::size_t equals = line.find('='); equals != std::string_view::npos) {
            pairs.emplace_back(line.substr(0, equals), line.substr(equals + 1));
        }
    }
    return pairs;
}

SimState ReadSimState(const ProfileDocument& file) {
    const auto value = [&](const char* key, const char* fallback = "") {
        return file.GetString("Printer", key, fallback, kValueBuffer);
    };
    SimState state;
    state.printer.present = value("Present") == "1";
    state.printer.path = value("Path", kDefaultPath);
    state.printer.deviceId = value("DeviceId");
    state.printer.answers = value("Answers") != "0";
    state.printer.status = ParseRecord(value("Status"));
    const std::string tag = value("ServiceTag");
    std::copy_n(tag.begin(), std::min<std::size_t>(tag.size(), 8),
                state.printer.serviceTag.begin());
    state.jobs = Pairs(file, "Jobs");
    state.drivers = Pairs(file, "Drivers");
    return state;
}

}  // namespace

std::optional<std::array<std::uint8_t, 8>> ParseRecord(std::string_view text) {
    std::string digits;
    std::copy_if(text.begin(), text.end(), std::back_inserter(digits),
                 [](char c) { return c != ' ' && c != '\t'; });
    std::array<std::uint8_t, 8> record{};
    if (digits.size() != 2 * record.size()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < record.size(); ++i) {
        const char* first = digits.data() + 2 * i;
        const auto [end, error] = std::from_chars(first, first + 2, record[i], 16);
        if (error != std::errc{} || end != first + 2) {
            return std::nullopt;
        }
    }
    return record;
}

const std::string* FindQueue(const std::vector<std::pair<std::string, std::string>>& queues,
                             std::string_view name) {
    for (const auto& [queue, value] : queues) {
        if (queue == name) {
            return &value;
        }
    }
    return nullptr;
}

SimState ParseSimState(std::string_view text) {
    return ReadSimState(ProfileDocument::Parse(text));
}

std::string SimStatePath() {
    // The process's own environment block, so a change made while it runs is seen at once.
    char variable[MAX_PATH] = {};
    const DWORD size = ::GetEnvironmentVariableA("ORVIX_SIM_STATE", variable, MAX_PATH);
    if (size > 0 && size < MAX_PATH) {
        return std::string(variable, size);
    }
    char module[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string directory(module, length < MAX_PATH ? length : 0);
    const std::size_t slash = directory.find_last_of("\\/");
    directory.resize(slash == std::string::npos ? 0 : slash + 1);
    return directory + "OrvixSim.ini";
}

SimState LoadSimState() {
    return ReadSimState(ProfileDocument::Read(SimStatePath()));
}

}  // namespace orvix::sim
