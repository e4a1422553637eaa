#include "ordering/PrinterSetting.h"

#include <algorithm>
#include <cstring>

#include "platform/Trace.h"
#include "status/PrinterQueue.h"

namespace orvix {
namespace {

constexpr std::size_t kSettingSize = 4;

// The key of the printer's settings, or false when its driver is unknown. An empty driver
// name would point at the root key shared by every driver.
bool SettingsKey(ISpooler& spooler, const std::string& printerName, std::string& keyPath) {
    std::string driverName;
    if (!FindPrinterDriver(spooler, printerName, driverName) || driverName.empty()) {
        Trace("No driver for the printer's queue\n");
        return false;
    }
    keyPath = std::string(kPrinterSettingsRoot) + "\\" + driverName;
    return true;
}

}  // namespace

bool ReadPrinterSetting(ISpooler& spooler, IRegistry& registry, const std::string& printerName,
                        const std::string& valueName, std::uint32_t& value) {
    std::string keyPath;
    if (!SettingsKey(spooler, printerName, keyPath)) {
        return false;
    }
    const auto data =
        registry.ReadValue(RegistryRoot::LocalMachine, keyPath, valueName, kSettingSize);
    if (!data) {
        return false;
    }
    static_assert(sizeof value == kSettingSize);
    if (!data->empty()) {
        std::memcpy(&value, data->data(), std::min(data->size(), kSettingSize));
    }
    return true;
}

bool WritePrinterSetting(ISpooler& spooler, IRegistry& registry, const std::string& printerName,
                         const std::string& valueName, std::uint32_t value) {
    std::string keyPath;
    if (!SettingsKey(spooler, printerName, keyPath)) {
        return false;
    }
    // A key that does not open (missing, or no right to write) is not an error here.
    registry.WriteDword(RegistryRoot::LocalMachine, keyPath, valueName, value);
    return true;
}

}  // namespace orvix
