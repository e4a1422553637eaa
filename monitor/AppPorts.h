#pragma once
#include "localization/Country.h"
#include "platform/DebugOutput.h"
#include "platform/FileSystem.h"
#include "platform/Pipe.h"
#include "platform/Process.h"
#include "platform/Profile.h"
#include "platform/Registry.h"
#include "platform/TextConversion.h"
#include "platform/Version.h"
#include "platform/WindowSystem.h"
#include "status/Spooler.h"
#include "status/UsbBus.h"

namespace orvix {

// Everything of the platform that Orvix's logic uses. The Win32 program binds the real
// adapters; tests bind fakes.
struct AppPorts {
    IProcessEnvironment& process;
    IProfile& profile;
    IFileSystem& files;
    IRegistry& registry;
    ILocaleQueries& locale;
    IVersionQuery& version;
    IWindowSystem& windows;
    IUsbBus& usb;
    ISpooler& spooler;
    IDebugOutput& debugOutput;
    ITextConversion& text;
    IPipeClient& pipes;
};

}  // namespace orvix
