#pragma once
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/Win32Handles.h"

namespace orvix::wine {

using namespace std::chrono_literals;

// Paths of the build: the programs beside the test executables, the sample installation.
std::string BinDir();
std::string SimBinDir();
std::string SourceDir();

// A scratch directory under the temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path; }
    std::string operator/(const std::string& name) const { return path + "\\" + name; }

private:
    std::string path;
};

bool WriteFileBytes(const std::string& path, const std::string& bytes);
std::optional<std::string> ReadFileBytes(const std::string& path);
bool CopyInto(const std::string& from, const std::string& to);
// A unique name for classes, pipes and keys of one test.
std::string UniqueName(const std::string& prefix);

// Pumps this thread's messages until `done` holds or the deadline passes; true if it held.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds deadline);

// A started process; killed at destruction if it still runs.
class Process {
public:
    // Starts `application` with exactly `commandLine` as its command line.
    Process(const std::string& application, const std::string& commandLine,
            const std::string& environmentVariables = {});
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool Started() const { return handle.Valid(); }
    // Waits (pumping messages) for the end; the exit code, or nullopt at the deadline.
    std::optional<DWORD> WaitForExit(std::chrono::milliseconds deadline);
    bool Running() const;
    void Kill();

private:
    win32::UniqueHandle handle;
};

// A top-level window with a given class name and title, standing in for a running Orvix.
// It records every WM_COPYDATA and private message it receives.
class RecordingWindow {
public:
    struct Received {
        UINT message;
        ULONG_PTR copyDataId;
        std::vector<std::uint8_t> bytes;
    };

    explicit RecordingWindow(const std::string& classAndTitle);
    ~RecordingWindow();
    RecordingWindow(const RecordingWindow&) = delete;
    RecordingWindow& operator=(const RecordingWindow&) = delete;

    HWND Handle() const { return window; }
    const std::vector<Received>& Messages() const { return received; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    std::string name;
    HWND window = nullptr;
    std::vector<Received> received;
};

// Finds a top-level window by class and title, waiting up to the deadline.
HWND WaitForWindow(const std::string& classAndTitle, std::chrono::milliseconds deadline);

}  // namespace orvix::wine
