#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "localization/Country.h"
#include "monitor/AppPorts.h"
#include "platform/portable/PortableProfile.h"
#include "tests/fakes/FakeSpooler.h"
#include "tests/fakes/FakeUsbBus.h"

namespace orvix::test {

// Files by their Windows path, kept in memory; the profile reads them through the portable
// reader (via a scratch copy), so the native tests see the same rules as the real program.
class FakeFiles final : public IFileSystem {
public:
    void Put(const std::string& path, std::string bytes) { files[path] = std::move(bytes); }
    void Remove(const std::string& path) { files.erase(path); }
    bool FileExists(const std::string& path) override { return files.count(path) != 0; }
    std::optional<std::string> ReadWholeFile(const std::string& path) override;

    std::map<std::string, std::string> files;
};

class FakeProfile final : public IProfile {
public:
    explicit FakeProfile(FakeFiles& backing) : files(backing) {}
    std::string GetString(const std::string& path, const std::string& section,
                          const std::string& key, const std::string& defaultValue,
                          std::size_t bufferSize) override;
    unsigned GetInt(const std::string& path, const std::string& section, const std::string& key,
                    int defaultValue) override;
    std::vector<char> GetSection(const std::string& path, const std::string& section,
                                 std::size_t bufferSize) override;

private:
    std::string Scratch(const std::string& path);
    FakeFiles& files;
    PortableProfile portable;
};

class FakeProcess final : public IProcessEnvironment {
public:
    std::string CommandLine() override { return commandLine; }
    std::string ModuleFileName() override { return moduleFileName; }
    BitmapHandle LoadBitmap(int resourceId) override;
    void ExitProcess(unsigned exitCode) override;

    std::string commandLine = "\"C:\\P\\Orvix.exe\"";
    std::string moduleFileName = "C:\\P\\Orvix.exe";
    std::vector<int> bitmapsLoaded;
    std::optional<unsigned> exitCode;
};

class FakeRegistry final : public IRegistry {
public:
    using Key = std::pair<RegistryRoot, std::string>;
    // Key paths compare without regard to case, as the registry does.
    void Set(RegistryRoot root, const std::string& keyPath, const std::string& valueName,
             std::vector<std::uint8_t> data);
    void SetString(RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                   const std::string& text);  // stored with its terminating zero
    void AddKey(RegistryRoot root, const std::string& keyPath);

    std::optional<std::vector<std::uint8_t>> ReadValue(RegistryRoot root,
                                                       const std::string& keyPath,
                                                       const std::string& valueName,
                                                       std::size_t bufferSize) override;
    bool WriteDword(RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                    std::uint32_t value) override;

    std::map<Key, std::map<std::string, std::vector<std::uint8_t>>> keys;
    int writes = 0;
};

class FakeLocale final : public ILocaleQueries {
public:
    std::int32_t ThreadLocale() override { return threadLocale; }
    std::int32_t UserDefaultLCID() override { return userDefaultLcid; }
    std::optional<std::int32_t> UserGeoId() override { return geoId; }
    LeadByteSet AnsiLeadBytes() override { return leadBytes; }

    std::int32_t threadLocale = 0x0409;
    std::int32_t userDefaultLcid = 0x0409;
    std::optional<std::int32_t> geoId;
    LeadByteSet leadBytes;
};

class FakeVersion final : public IVersionQuery {
public:
    std::optional<OsVersionInfo> GetVersionEx(bool extendedRecord) override {
        ++calls;
        if (extendedRecord && failExtended) {
            return std::nullopt;
        }
        return version;
    }
    std::optional<OsVersionInfo> version = OsVersionInfo{2, 6, 1, 7601};
    bool failExtended = false;
    int calls = 0;
};

// Records what the logic asked of the window manager.
class FakeWindows final : public IWindowSystem {
public:
    struct Sent {
        WindowHandle to;
        unsigned message;
        std::uintptr_t copyDataId;
        std::vector<std::uint8_t> bytes;
    };
    struct Timer {
        WindowHandle window;
        unsigned id;
        unsigned milliseconds;
    };

    WindowHandle FindWindow(const std::string& className, const std::string& title) override;
    std::intptr_t SendMessage(WindowHandle to, unsigned message) override;
    std::intptr_t SendCopyData(WindowHandle to, std::uintptr_t id,
                               std::span<const std::uint8_t> bytes) override;
    bool PostMessage(WindowHandle to, unsigned message) override;
    bool RegisterMainClass(const std::string& className) override;
    WindowHandle CreateFrameWindow(const std::string& className, IFrameEvents& events) override;
    void DestroyWindow(WindowHandle window) override;
    WindowHandle CreateDialogWindow(int templateId) override;
    void ShowWindow(WindowHandle window, ShowCommand command) override;
    void SetTimer(WindowHandle window, unsigned id, unsigned milliseconds) override;
    void KillTimer(WindowHandle window, unsigned id) override;
    void SetTopmost(WindowHandle window, bool topmost) override;
    bool IsMinimized(WindowHandle window) override;
    void SendRestoreCommand(WindowHandle window) override;
    std::uint32_t ForegroundWindowThread() override { return foregroundThread; }
    std::uint32_t CurrentThreadId() override { return currentThread; }
    bool AttachThreadInput(std::uint32_t from, std::uint32_t to, bool attach) override;
    bool SetForegroundWindow(WindowHandle window) override;
    void InvalidateRect(WindowHandle window, bool erase) override;

    // A window "of another process" that FindWindow can see.
    std::map<std::pair<std::string, std::string>, WindowHandle> existing;
    std::vector<Sent> sent;
    std::vector<std::pair<WindowHandle, unsigned>> posted;
    std::vector<std::string> registeredClasses;
    std::vector<std::string> framesCreated;
    std::vector<int> dialogsCreated;
    std::vector<std::pair<WindowHandle, ShowCommand>> shows;
    std::vector<WindowHandle> destroyed;
    std::map<std::pair<WindowHandle, unsigned>, unsigned> timers;  // running timers
    std::vector<Timer> timerStarts;
    bool failCreate = false;
    // Raising windows: the calls in order ("topmost 0x101", "attach 7 1", "invalidate 0x101
    // erase", ...), the windows whose style holds WS_MINIMIZE, and the two threads.
    std::vector<std::string> raiseCalls;
    std::set<WindowHandle> minimized;
    std::uint32_t foregroundThread = 1;
    std::uint32_t currentThread = 1;

private:
    WindowHandle next = 0x100;
    std::map<WindowHandle, IFrameEvents*> frames;  // destroying one reports OnDestroy
};

// UTF-16 to ANSI as Windows-1252 sees the Latin-1 range; anything beyond it becomes "?".
class FakeTextConversion final : public ITextConversion {
public:
    std::string WideToAnsi(std::u16string_view text) override;
};

// Named pipes as scripted attempts: each ReadOnce takes the next attempt (the last one repeats
// once the script runs out; none: the pipe never opens) and records the name it was given.
class FakePipeClient final : public IPipeClient {
public:
    struct Attempt {
        bool opens = false;
        std::vector<std::uint8_t> data;  // what the server wrote; the read takes what fits
    };
    std::optional<std::size_t> ReadOnce(const std::string& name,
                                        std::span<std::uint8_t> buffer) override;

    std::vector<Attempt> script;
    std::vector<std::string> names;
    std::vector<std::size_t> bufferSizes;
};

// All fakes, bound together the way the program binds the real adapters.
struct FakePlatform {
    FakeFiles files;
    FakeProfile profile{files};
    FakeProcess process;
    FakeRegistry registry;
    FakeLocale locale;
    FakeVersion version;
    FakeWindows windows;
    FakeUsbBus usb;
    FakeSpooler spooler;
    FakeDebugOutput debugOutput;
    FakeTextConversion text;
    FakePipeClient pipes;

    AppPorts Ports() {
        return AppPorts{process, profile, files,   registry,    locale, version,
                        windows, usb,     spooler, debugOutput, text,   pipes};
    }
};

}  // namespace orvix::test
