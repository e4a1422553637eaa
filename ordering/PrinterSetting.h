#pragma once
#include <cstdint>
#include <string>

#include "platform/Registry.h"
#include "status/Spooler.h"

namespace orvix {

// The settings of a printer live under HKLM "Software\VezIvu\<driver name>"; the installation
// creates that key, this code never does.
inline constexpr char kPrinterSettingsRoot[] = "Software\\VezIvu";
// 1: the user silenced the low toner warning for the current cartridge.
inline constexpr char kOrderTonerAlreadyChecked[] = "SMOrderTonerAlreadyChecked";

// Reads a 32-bit setting of the printer whose queue is `printerName`. True only when its driver
// was found and the value was read; a value of up to 4 bytes replaces that many leading bytes
// of `value`, whatever its type; a longer one fails the read.
bool ReadPrinterSetting(ISpooler& spooler, IRegistry& registry, const std::string& printerName,
                        const std::string& valueName, std::uint32_t& value);

// Writes a 32-bit setting as REG_DWORD. True when the driver was found, whether or not the key
// opened and the write succeeded.
bool WritePrinterSetting(ISpooler& spooler, IRegistry& registry, const std::string& printerName,
                         const std::string& valueName, std::uint32_t value);

}  // namespace orvix
