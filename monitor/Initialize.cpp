#include <algorithm>
#include <cstring>

#include "monitor/OrvixApp.h"
#include "platform/Trace.h"

namespace orvix {

std::string COrvixApp::BaseName() const {
    if (!programName.empty()) {
        return programName;
    }
    // The text of the command line after its last backslash, up to the first "." after it.
    const std::string line = ports.process.CommandLine();
    const std::size_t slash = line.rfind('\\');
    if (slash != std::string::npos) {
        const std::size_t dot = line.find('.', slash + 1);
        if (dot != std::string::npos) {
            return line.substr(slash + 1, dot - slash - 1);
        }
    }
    // No backslash, or no "." after it (a program started by its bare name): the program's
    // own file name without its extension.
    const std::string module = ports.process.ModuleFileName();
    const std::size_t moduleSlash = module.rfind('\\');
    std::string file = moduleSlash == std::string::npos ? module : module.substr(moduleSlash + 1);
    const std::size_t dot = file.rfind('.');
    if (dot != std::string::npos) {
        file.resize(dot);
    }
    return file;
}

bool COrvixApp::Initialize() {
    Trace("Enter Initialize\n");
    const std::string directory = ProgramDirectory();
    configPath = directory + "\\" + BaseName() + ".dat";
    Trace("Model configuration: %s\n", configPath.c_str());

    IProfile& profile = ports.profile;
    const auto read = [&](const char* section, const char* key) {
        return profile.GetString(configPath, section, key, "", kStringBuffer - 1);
    };
    modelClass = read("Model", "Class");
    modelCaption = read("Model", "Caption");
    langKey = read("Language", "LangKey");
    tonerUrl = read("WebLink", "Toner");
    linkModel = read("Model", "LinkModel");
    devMonName = read("DevMon", "Name");
    devMonVid = static_cast<std::uint16_t>(profile.GetInt(configPath, "DevMon", "VID", 0));
    devMonPid = static_cast<std::uint16_t>(profile.GetInt(configPath, "DevMon", "PID", 0));
    modelString = read("DevMon", "MDL");

    if (!GetCurrentNationString(ports.registry, langKey, languageCode) && languageCode.empty()) {
        languageCode =
            profile.GetString(configPath, "Language", "DefaultLang", "", kLanguageBuffer);
    }

    std::string tablePath = directory + "\\MulLang\\SM" + languageCode + ".trs";
    if (!ports.files.FileExists(tablePath)) {
        tablePath = directory + "\\MulLang\\SMen.trs";
    }
    stringTable.Load(tablePath, ports.files);
    Trace("String table: %s (%zu entries)\n", tablePath.c_str(), stringTable.Count());

    LoadPhoneSection();

    for (std::size_t i = 0; i < kTonerBitmapIds.size(); ++i) {
        tonerBitmaps[i] = ports.process.LoadBitmap(kTonerBitmapIds[i]);
    }

    curLangID = GetDefaultLangID(ports.locale, ports.version, phoneList);
    Trace("Current country: 0x%04X\n", static_cast<unsigned>(curLangID));
    return true;
}

void COrvixApp::LoadPhoneSection() {
    const std::vector<char> buffer =
        ports.profile.GetSection(configPath, "Phone", kPhoneSectionBuffer);
    std::size_t pos = 0;
    // Lines are zero-terminated; the list ends at the first empty one or at the buffer's end.
    while (pos < buffer.size() && buffer[pos] != '\0') {
        const auto zero =
            std::find(buffer.begin() + static_cast<std::ptrdiff_t>(pos), buffer.end(), '\0');
        const std::string line(buffer.begin() + static_cast<std::ptrdiff_t>(pos), zero);
        pos = static_cast<std::size_t>(zero - buffer.begin()) + 1;

        const std::size_t equals = line.find('=');
        const std::string key =
            equals == std::string::npos ? std::string() : line.substr(0, equals);
        char name[kStringBuffer] = {};
        LookupString(key, name);

        PhoneEntry entry;
        entry.code = HexToInt(key);
        entry.name = name;
        entry.phone = equals == std::string::npos ? line : line.substr(equals + 1);
        countryNames.push_back(entry.name);
        phoneList.push_back(std::move(entry));
    }
    SortCountryNames(countryNames, ports.locale.AnsiLeadBytes());
    Trace("Phone entries: %zu\n", phoneList.size());
}

}  // namespace orvix
