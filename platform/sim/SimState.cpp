#include "platform/sim/SimState.h"

#include "platform/win32/Win32Api.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace orvix::sim {

const char kSimMarker[] = "ORVIX-SIMULATED-PRINTER";

namespace {

constexpr char kDefaultPath[] =
    "\\\\?\\usb#vid_0000&pid_0000#ORVIX-SIMULATED-PRINTER#"
    "{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

void SetPrinterKey(SimState::Printer& printer, std::string_view key, std::string_view value) {
    if (EqualNoCase(key, "Present")) {
        printer.present = value == "1";
    } else if (EqualNoCase(key, "Path")) {
        printer.path = value;
    } else if (EqualNoCase(key, "DeviceId")) {
        printer.deviceId = value;
    } else if (EqualNoCase(key, "Answers")) {
        printer.answers = value != "0";
    } else if (EqualNoCase(key, "Status")) {
        printer.status = ParseRecord(value);
    } else if (EqualNoCase(key, "ServiceTag")) {
        printer.serviceTag = {};
        std::copy_n(value.begin(), std::min<std::size_t>(value.size(), 8),
                    printer.serviceTag.begin());
    }
}

}  // namespace

std::optional<std::array<std::uint8_t, 8>> ParseRecord(std::string_view text) {
    std::array<std::uint8_t, 8> record{};
    std::size_t count = 0;
    int high = -1;
    for (const char c : text) {
        if (c == ' ' || c == '\t') {
            continue;
        }
        const int digit = HexDigit(c);
        if (digit < 0 || count == record.size()) {
            return std::nullopt;
        }
        if (high < 0) {
            high = digit;
        } else {
            record[count++] = static_cast<std::uint8_t>(high * 16 + digit);
            high = -1;
        }
    }
    if (count != record.size() || high >= 0) {
        return std::nullopt;
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
    SimState state;
    state.printer.path = kDefaultPath;
    std::string_view section;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.empty() || line.front() == ';' || line.front() == '#') {
            continue;
        }
        if (line.front() == '[' && line.back() == ']') {
            section = Trim(line.substr(1, line.size() - 2));
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        const std::string_view key = Trim(line.substr(0, equals));
        const std::string_view value = Trim(line.substr(equals + 1));
        if (EqualNoCase(section, "Printer")) {
            SetPrinterKey(state.printer, key, value);
        } else if (EqualNoCase(section, "Jobs")) {
            state.jobs.emplace_back(key, value);
        } else if (EqualNoCase(section, "Drivers")) {
            state.drivers.emplace_back(key, value);
        }
    }
    return state;
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
    std::ifstream in(SimStatePath(), std::ios::binary);
    if (!in) {
        return ParseSimState({});
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return ParseSimState(text);
}

}  // namespace orvix::sim
