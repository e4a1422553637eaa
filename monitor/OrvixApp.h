#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "localization/Country.h"
#include "localization/StrTableList.h"
#include "monitor/AppPorts.h"
#include "ordering/OrderTonerDlg.h"
#include "platform/Handles.h"
#include "protocol/Protocol.h"
#include "status/StatusInfo.h"

namespace orvix {

class CMainFrame;

// The three texts of the current job record.
using JobFields = JobInfo;

// The application object of Orvix: start-up, the model configuration and everything the
// windows share. Members keep the documented order.
class COrvixApp {
public:
    // Resource numbers of the toner gauge pictures, in the order they are loaded.
    static constexpr std::array<int, 7> kTonerBitmapIds = {153, 135, 136, 137, 138, 139, 152};
    static constexpr std::size_t kStringBuffer = 256;
    static constexpr std::size_t kLanguageBuffer = 10;
    static constexpr std::size_t kPhoneSectionBuffer = 4096;

    explicit COrvixApp(AppPorts ports);
    ~COrvixApp();
    COrvixApp(const COrvixApp&) = delete;
    COrvixApp& operator=(const COrvixApp&) = delete;

    // false: the process ends at once (exit code 0); true: run the message loop.
    bool InitInstance();
    bool GetInfoFromCommanLine();
    bool Initialize();
    void LoadPhoneSection();

    bool LookupString(std::string_view key, std::span<char> buffer) const;
    void CleanupGlobalTable();

    // Bookkeeping of the last start, for callers and tests.
    bool TonerMode() const { return tonerMode; }
    CMainFrame* MainFrame() const { return mainFrame.get(); }
    std::string ProgramDirectory() const;
    AppPorts& Ports() { return ports; }

    std::string langKey;
    std::string configPath;
    std::string languageCode;
    CStrTableList stringTable;
    std::string pipeName;
    std::string programName;
    JobFields jobInfo;
    HandoffRecord handoffRecord{};
    std::array<char, 255> devicePath{};
    std::string modelClass;
    std::string modelCaption;
    std::string tonerUrl;
    std::string linkModel;
    std::vector<PhoneEntry> phoneList;
    std::vector<std::string> countryNames;
    std::array<BitmapHandle, 7> tonerBitmaps{};
    COrderTonerDlg m_ordertonerdlg;
    StatusInfo curStatus;
    std::string devMonName;
    std::uint16_t devMonVid = 0;
    std::uint16_t devMonPid = 0;
    std::string modelString;
    std::int32_t curLangID = 0;

private:
    std::string BaseName() const;

    AppPorts ports;
    bool tonerMode = false;
    std::unique_ptr<CMainFrame> mainFrame;
};

}  // namespace orvix
