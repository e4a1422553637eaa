// LmStandIn.exe: plays the printer driver's language monitor from a console. It finds a window
// by class name and title and sends it one of the messages or WM_COPYDATA records that the
// language monitor (or another process) may send to Service or Orvix, then prints the result.
#include "platform/win32/Win32Api.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/Protocol.h"

namespace {

constexpr int kSent = 0;
constexpr int kNoWindow = 1;
constexpr int kUsage = 2;
constexpr UINT kSendTimeoutMs = 30000;

void PrintUsage() {
    std::fputs(
        "usage: LmStandIn [--title TITLE] CLASS COMMAND [ARGUMENTS]\n"
        "Sends one message to the top-level window with class name CLASS and title TITLE\n"
        "(TITLE defaults to CLASS) and prints what SendMessage returned.\n"
        "\n"
        "commands:\n"
        "  service-create                       WM_COPYDATA CD_SERVICE_CREATE (100)\n"
        "  service-delete                       WM_COPYDATA CD_SERVICE_DELETE (101)\n"
        "  job-utf16 PRINTER [SPARE [DISPLAY]]  WM_COPYDATA CD_JOB_INFO (1000), 818-byte UTF-16\n"
        "  job-ansi PRINTER [SPARE [DISPLAY]]   WM_COPYDATA CD_JOB_INFO (1000), 409-byte ANSI\n"
        "  kill                                 WM_SM_KILL (1329)\n"
        "  show-order-toner                     WM_SM_SHOW_ORDER_TONER (1325)\n"
        "  popup-closed                         WM_SM_POPUP_CLOSED (1225)\n"
        "  exit-if-idle                         WM_SM_EXIT_IF_IDLE (1226)\n"
        "  sm-service-create                    WM_SM_SERVICE_CREATE (102)\n"
        "  sm-service-delete                    WM_SM_SERVICE_DELETE (103)\n"
        "\n"
        "exit code: 0 sent, 1 no such window or no answer, 2 bad arguments\n",
        stderr);
}

// An argument in the console's ANSI code page, as UTF-16.
std::u16string Widen(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int needed = ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    if (needed <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), needed);
    return std::u16string(wide.begin(), wide.end());
}

struct Request {
    bool copyData = false;
    UINT message = 0;
    ULONG_PTR id = 0;
    std::vector<std::uint8_t> payload;
};

bool MessageFor(std::string_view command, Request& request) {
    struct Entry {
        std::string_view name;
        UINT message;
    };
    static constexpr Entry kMessages[] = {
        {"kill", orvix::WM_SM_KILL},
        {"show-order-toner", orvix::WM_SM_SHOW_ORDER_TONER},
        {"popup-closed", orvix::WM_SM_POPUP_CLOSED},
        {"exit-if-idle", orvix::WM_SM_EXIT_IF_IDLE},
        {"sm-service-create", orvix::WM_SM_SERVICE_CREATE},
        {"sm-service-delete", orvix::WM_SM_SERVICE_DELETE},
    };
    for (const Entry& entry : kMessages) {
        if (command == entry.name) {
            request.message = entry.message;
            return true;
        }
    }
    return false;
}

// Fills `request` from the command and its arguments; false on a bad command line.
bool ParseCommand(const std::vector<std::string>& args, Request& request) {
    const std::string_view command = args[0];
    const std::size_t extra = args.size() - 1;
    if (command == "service-create" || command == "service-delete") {
        request.copyData = true;
        request.id =
            command == "service-create" ? orvix::CD_SERVICE_CREATE : orvix::CD_SERVICE_DELETE;
        return extra == 0;
    }
    if (command == "job-utf16" || command == "job-ansi") {
        if (extra < 1 || extra > 3) {
            return false;
        }
        const std::string printer = args[1];
        const std::string spare = extra >= 2 ? args[2] : std::string();
        const std::string display = extra >= 3 ? args[3] : std::string();
        request.copyData = true;
        request.id = orvix::CD_JOB_INFO;
        if (command == "job-utf16") {
            const auto record =
                orvix::BuildJobInfoWide(Widen(printer), Widen(spare), Widen(display));
            request.payload.assign(record.begin(), record.end());
        } else {
            const auto record = orvix::BuildJobInfoAnsi(orvix::JobInfo{printer, spare, display});
            request.payload.assign(record.begin(), record.end());
        }
        return true;
    }
    return MessageFor(command, request) && extra == 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string title;
    bool hasTitle = false;
    if (args.size() >= 2 && args[0] == "--title") {
        title = args[1];
        hasTitle = true;
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.size() < 2) {
        PrintUsage();
        return kUsage;
    }
    const std::string className = args[0];
    if (!hasTitle) {
        title = className;
    }
    args.erase(args.begin());
    Request request;
    if (!ParseCommand(args, request)) {
        PrintUsage();
        return kUsage;
    }

    const HWND window = ::FindWindowA(className.c_str(), title.c_str());
    if (window == nullptr) {
        std::fprintf(stderr, "LmStandIn: no window with class \"%s\" and title \"%s\"\n",
                     className.c_str(), title.c_str());
        return kNoWindow;
    }
    COPYDATASTRUCT data{};
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    UINT message = request.message;
    if (request.copyData) {
        data.dwData = request.id;
        data.cbData = static_cast<DWORD>(request.payload.size());
        data.lpData = request.payload.empty() ? nullptr : request.payload.data();
        message = WM_COPYDATA;
        lParam = reinterpret_cast<LPARAM>(&data);
    }
    DWORD_PTR result = 0;
    // A window that no longer answers must not hold the console for good. A receiver that
    // ends its process while handling the message (WM_SM_KILL) gives 0, as SendMessage does.
    ::SetLastError(ERROR_SUCCESS);
    if (!::SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                               kSendTimeoutMs, &result) &&
        ::GetLastError() == ERROR_TIMEOUT) {
        std::fputs("LmStandIn: the window did not answer\n", stderr);
        return kNoWindow;
    }
    std::printf("SendMessage returned %lld\n", static_cast<long long>(result));
    return kSent;
}
