#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvix::sim {

// Present in every simulation program, absent from the production ones (a test checks).
extern const char kSimMarker[];

// One reading of the simulation's state file (see README.md beside this file).
struct SimState {
    struct Printer {
        bool present = false;
        std::string path;
        std::string deviceId;
        bool answers = true;                                // false: every request fails
        std::optional<std::array<std::uint8_t, 8>> status;  // nullopt: status request fails
        std::array<std::uint8_t, 8> serviceTag{};
    };
    Printer printer;
    // Queue name -> value, in file order, names byte for byte.
    std::vector<std::pair<std::string, std::string>> jobs;
    std::vector<std::pair<std::string, std::string>> drivers;
};

// The state file: ORVIX_SIM_STATE, or OrvixSim.ini beside the program.
std::string SimStatePath();

// Reads the file anew; a missing file is an empty state (no printer, no queues).
SimState LoadSimState();
SimState ParseSimState(std::string_view text);

// "0101010000500200" or "01 01 01 00 00 50 02 00": exactly 8 bytes, else nullopt.
std::optional<std::array<std::uint8_t, 8>> ParseRecord(std::string_view text);

const std::string* FindQueue(const std::vector<std::pair<std::string, std::string>>& queues,
                             std::string_view name);

}  // namespace orvix::sim
