#include "monitor/OrvixApp.h"

#include <algorithm>

#include "monitor/MainFrame.h"
#include "platform/Trace.h"

namespace orvix {
namespace {

// The arguments: what follows the program token and the blanks after it. A quoted token runs
// to the next double quote; otherwise to the first space or control character.
std::string_view Arguments(std::string_view line) {
    std::size_t i = 0;
    if (!line.empty() && line.front() == '"') {
        const std::size_t close = line.find('"', 1);
        i = close == std::string_view::npos ? line.size() : close + 1;
    } else {
        while (i < line.size() && static_cast<unsigned char>(line[i]) > ' ') {
            ++i;
        }
    }
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
        ++i;
    }
    return line.substr(i);
}

}  // namespace

COrvixApp::COrvixApp(AppPorts appPorts) : ports(appPorts) {}

COrvixApp::~COrvixApp() = default;

std::string COrvixApp::ProgramDirectory() const {
    const std::string module = ports.process.ModuleFileName();
    const std::size_t slash = module.rfind('\\');
    return slash == std::string::npos ? std::string() : module.substr(0, slash);
}

bool COrvixApp::GetInfoFromCommanLine() {
    Trace("Enter GetInfoFromCommanLine\n");
    const std::string line = ports.process.CommandLine();
    if (line.empty() || line.front() != '/') {
        return false;
    }
    const std::size_t space = line.find(' ');
    if (space == std::string::npos) {
        return false;
    }
    // The character after the space is skipped unseen: in the job form it is the "/" of the
    // pipe name's token.
    pipeName = space + 2 <= line.size() ? line.substr(space + 2) : std::string();
    programName = line.substr(1, space - 1);
    return !pipeName.empty() && !programName.empty();
}

bool COrvixApp::InitInstance() {
    Trace("Enter InitInstance\n");
    tonerMode = false;
    const std::string line = ports.process.CommandLine();
    const bool argumentsHaveSlash = Arguments(line).find('/') != std::string_view::npos;

    bool jobForm = GetInfoFromCommanLine();
    if (jobForm) {
        // A name too long for its hand-off field would be cut silently; such a line is not
        // taken as a job start at all.
        if (auto record = HandoffRecord::Make(pipeName, programName)) {
            handoffRecord = *record;
        } else {
            Trace("Job form refused: a name does not fit the hand-off record\n");
            jobForm = false;
            pipeName.clear();
            programName.clear();
        }
    }
    if (!argumentsHaveSlash && !line.empty() && !jobForm) {
        tonerMode = true;
    }
    Trace("Start form: %s\n", jobForm ? "job" : (tonerMode ? "toner" : "plain"));

    Initialize();

    if (modelClass.empty()) {
        // Without a class no instance can be found and no main window could end the program:
        // refuse the start.
        Trace("No window class configured: start refused\n");
        return false;
    }

    if (const WindowHandle running = ports.windows.FindWindow(modelClass, modelClass)) {
        if (tonerMode) {
            Trace("Running instance found: sending WM_SM_SHOW_ORDER_TONER\n");
            ports.windows.SendMessage(running, WM_SM_SHOW_ORDER_TONER);
        } else if (!programName.empty() && !pipeName.empty()) {
            Trace("Running instance found: handing over %s\n", pipeName.c_str());
            ports.windows.SendCopyData(running, CD_HANDOFF, handoffRecord.bytes);
        } else {
            Trace("Running instance found: nothing to hand over\n");
        }
        return false;
    }

    if (ports.windows.RegisterMainClass(modelClass)) {
        Trace("Window class registered: %s\n", modelClass.c_str());
    }
    mainFrame = std::make_unique<CMainFrame>(*this);

    if (tonerMode) {
        m_ordertonerdlg.Create(ports.windows);
        m_ordertonerdlg.Show(ports.windows);
    }
    return true;
}

bool COrvixApp::LookupString(std::string_view key, std::span<char> buffer) const {
    return stringTable.Lookup(key, buffer);
}

void COrvixApp::CleanupGlobalTable() {
    stringTable.Cleanup();
    phoneList.clear();
}

}  // namespace orvix
