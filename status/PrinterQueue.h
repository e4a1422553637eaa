#pragma once
#include <cstdint>
#include <string>

#include "status/Spooler.h"

namespace orvix {

// Number of jobs in the named print queue: -1 for an empty name (the spooler is not asked),
// 0 when the queue cannot be opened or its record cannot be read.
std::int32_t GetJobCount(ISpooler& spooler, const std::string& printerName);

// The driver of the first local printer whose queue name equals `printerName` byte for byte.
// False leaves `driverName` untouched.
bool FindPrinterDriver(ISpooler& spooler, const std::string& printerName, std::string& driverName);

}  // namespace orvix
