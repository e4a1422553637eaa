#include "tests/fakes/FakePlatform.h"

#include <unistd.h>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace orvix::test {
namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

std::optional<std::string> FakeFiles::ReadWholeFile(const std::string& path) {
    const auto found = files.find(path);
    if (found == files.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::string FakeProfile::Scratch(const std::string& path) {
    // One scratch file per process; a missing file maps to a path that does not exist.
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() /
                 ("orvix-fake-profile-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    const std::filesystem::path file = dir / "profile.ini";
    const auto content = files.ReadWholeFile(path);
    if (!content) {
        std::filesystem::remove(file);
        return (dir / "missing.ini").string();
    }
    std::ofstream(file, std::ios::binary | std::ios::trunc) << *content;
    return file.string();
}

std::string FakeProfile::GetString(const std::string& path, const std::string& section,
                                   const std::string& key, const std::string& defaultValue,
                                   std::size_t bufferSize) {
    return portable.GetString(Scratch(path), section, key, defaultValue, bufferSize);
}

unsigned FakeProfile::GetInt(const std::string& path, const std::string& section,
                             const std::string& key, int defaultValue) {
    return portable.GetInt(Scratch(path), section, key, defaultValue);
}

std::vector<char> FakeProfile::GetSection(const std::string& path, const std::string& section,
                                          std::size_t bufferSize) {
    return portable.GetSection(Scratch(path), section, bufferSize);
}

BitmapHandle FakeProcess::LoadBitmap(int resourceId) {
    bitmapsLoaded.push_back(resourceId);
    return static_cast<BitmapHandle>(resourceId) + 0x10000;
}

void FakeProcess::ExitProcess(unsigned code) {
    if (!exitCode) {
        exitCode = code;
    }
}

void FakeRegistry::AddKey(RegistryRoot root, const std::string& keyPath) {
    keys[{root, Lower(keyPath)}];
}

void FakeRegistry::Set(RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                       std::vector<std::uint8_t> data) {
    keys[{root, Lower(keyPath)}][Lower(valueName)] = std::move(data);
}

void FakeRegistry::SetString(RegistryRoot root, const std::string& keyPath,
                             const std::string& valueName, const std::string& text) {
    std::vector<std::uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    Set(root, keyPath, valueName, std::move(data));
}

std::optional<std::vector<std::uint8_t>> FakeRegistry::ReadValue(RegistryRoot root,
                                                                 const std::string& keyPath,
                                                                 const std::string& valueName,
                                                                 std::size_t bufferSize) {
    const auto key = keys.find({root, Lower(keyPath)});
    if (key == keys.end()) {
        return std::nullopt;
    }
    const auto value = key->second.find(Lower(valueName));
    if (value == key->second.end() || value->second.size() > bufferSize) {
        return std::nullopt;
    }
    return value->second;
}

bool FakeRegistry::WriteDword(RegistryRoot root, const std::string& keyPath,
                              const std::string& valueName, std::uint32_t value) {
    const auto key = keys.find({root, Lower(keyPath)});
    if (key == keys.end()) {
        return false;
    }
    ++writes;
    key->second[Lower(valueName)] = {
        static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
        static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    return true;
}

WindowHandle FakeWindows::FindWindow(const std::string& className, const std::string& title) {
    const auto found = existing.find({className, title});
    return found == existing.end() ? 0 : found->second;
}

std::intptr_t FakeWindows::SendMessage(WindowHandle to, unsigned message) {
    sent.push_back(Sent{to, message, 0, {}});
    return 0;
}

std::intptr_t FakeWindows::SendCopyData(WindowHandle to, std::uintptr_t id,
                                        std::span<const std::uint8_t> bytes) {
    sent.push_back(Sent{to, 0x004A, id, {bytes.begin(), bytes.end()}});
    return 0;
}

bool FakeWindows::PostMessage(WindowHandle to, unsigned message) {
    posted.emplace_back(to, message);
    return true;
}

bool FakeWindows::RegisterMainClass(const std::string& className) {
    registeredClasses.push_back(className);
    return true;
}

WindowHandle FakeWindows::CreateFrameWindow(const std::string& className, IFrameEvents& events) {
    framesCreated.push_back(className);
    if (failCreate) {
        return 0;
    }
    const WindowHandle window = next++;
    if (events.OnCreate(window) != 0) {
        return 0;
    }
    frames[window] = &events;
    return window;
}

void FakeWindows::DestroyWindow(WindowHandle window) {
    destroyed.push_back(window);
    // A frame hears of its destruction during the call, as WM_DESTROY arrives on Windows.
    if (const auto frame = frames.find(window); frame != frames.end()) {
        IFrameEvents* events = frame->second;
        frames.erase(frame);
        events->OnDestroy();
    }
}

WindowHandle FakeWindows::CreateDialogWindow(int templateId) {
    dialogsCreated.push_back(templateId);
    return failCreate ? 0 : next++;
}

void FakeWindows::ShowWindow(WindowHandle window, ShowCommand command) {
    shows.emplace_back(window, command);
}

void FakeWindows::SetTimer(WindowHandle window, unsigned id, unsigned milliseconds) {
    timers[{window, id}] = milliseconds;
    timerStarts.push_back(Timer{window, id, milliseconds});
}

void FakeWindows::KillTimer(WindowHandle window, unsigned id) {
    timers.erase({window, id});
}

namespace {

std::string Hex(WindowHandle window) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(window));
    return text;
}

}  // namespace

void FakeWindows::SetTopmost(WindowHandle window, bool topmost) {
    raiseCalls.push_back((topmost ? "topmost " : "notopmost ") + Hex(window));
}

bool FakeWindows::IsMinimized(WindowHandle window) {
    return minimized.count(window) != 0;
}

void FakeWindows::SendRestoreCommand(WindowHandle window) {
    raiseCalls.push_back("restore " + Hex(window));
    minimized.erase(window);
}

bool FakeWindows::AttachThreadInput(std::uint32_t from, std::uint32_t to, bool attach) {
    raiseCalls.push_back((attach ? "attach " : "detach ") + std::to_string(from) + " " +
                         std::to_string(to));
    return from != 0 && to != 0 && from != to;
}

bool FakeWindows::SetForegroundWindow(WindowHandle window) {
    raiseCalls.push_back("foreground " + Hex(window));
    return window != 0;
}

void FakeWindows::InvalidateRect(WindowHandle window, bool erase) {
    raiseCalls.push_back("invalidate " + Hex(window) + (erase ? " erase" : ""));
}

std::string FakeTextConversion::WideToAnsi(std::u16string_view text) {
    std::string ansi;
    ansi.reserve(text.size());
    for (const char16_t unit : text) {
        ansi.push_back(unit <= 0xFF ? static_cast<char>(unit) : '?');
    }
    return ansi;
}

std::optional<std::size_t> FakePipeClient::ReadOnce(const std::string& name,
                                                    std::span<std::uint8_t> buffer) {
    names.push_back(name);
    bufferSizes.push_back(buffer.size());
    if (script.empty()) {
        return std::nullopt;
    }
    const std::size_t index = std::min(names.size(), script.size()) - 1;
    const Attempt& attempt = script[index];
    if (!attempt.opens) {
        return std::nullopt;
    }
    const std::size_t count = std::min(attempt.data.size(), buffer.size());
    std::copy_n(attempt.data.begin(), count, buffer.begin());
    return count;
}

}  // namespace orvix::test
