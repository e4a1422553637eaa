#include "platform/portable/PortableProfile.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>

namespace orvix {
namespace {

using Entry = ProfileDocument::Entry;
using Section = ProfileDocument::Section;

bool IsBlank(char c) {
    // The platform trims C-locale white space and the DOS end-of-file byte.
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == '\x1a';
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Lower(x) == Lower(y); });
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Splits the file into sections the way the platform's loader does: lines end at LF (or, when
// no LF remains, at CR); "[" starts a section only when a "]" closes it; every other non-blank
// line is an entry, with or without "=". Lines before the first header belong to a section
// without a name.
std::vector<Section> Split(std::string_view rest) {
    std::vector<Section> sections(1);
    if (rest.starts_with("\xEF\xBB\xBF")) {
        rest.remove_prefix(3);
    }
    while (!rest.empty()) {
        std::size_t end = rest.find('\n');
        if (end == std::string_view::npos) {
            end = rest.find('\r');
        }
        const std::size_t next = end == std::string_view::npos ? rest.size() : end + 1;
        std::string_view line = Trim(rest.substr(0, next));
        rest.remove_prefix(next);
        if (line.empty()) {
            continue;
        }
        if (line.front() == '[') {
            const std::size_t close = line.rfind(']');
            if (close != std::string_view::npos && close > 0) {
                sections.push_back(Section{std::string(Trim(line.substr(1, close - 1))), {}});
                continue;
            }
        }
        Entry entry;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            entry.name = std::string(line);
        } else {
            entry.name = std::string(Trim(line.substr(0, equals)));
            entry.value = std::string(Trim(line.substr(equals + 1)));
        }
        sections.back().entries.push_back(std::move(entry));
    }
    return sections;
}

// lstrcpyn into a buffer of `size` characters: at most size - 1 of them.
std::string CopyN(std::string_view text, std::size_t size) {
    if (size == 0) {
        return {};
    }
    return std::string(text.substr(0, size - 1));
}

// The value copy of a string read: one pair of enclosing quotes is dropped. The closing quote
// is removed only when the whole value fitted; this mirrors the platform, including the case
// where a value exactly one character too long loses its last character instead.
std::string CopyValue(std::string_view value, std::size_t size) {
    char quote = '\0';
    if (!value.empty() && (value.front() == '\'' || value.front() == '"') && value.size() > 1 &&
        value.back() == value.front()) {
        quote = value.front();
        value.remove_prefix(1);
    }
    std::string out = CopyN(value, size);
    if (quote != '\0' && size >= value.size() && !out.empty()) {
        out.pop_back();
    }
    return out;
}

const Section* FindSection(const std::vector<Section>& sections, std::string_view name) {
    for (const Section& section : sections) {
        if (EqualNoCase(section.name, name)) {
            return &section;
        }
    }
    return nullptr;
}

}  // namespace

ProfileDocument ProfileDocument::Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return Parse({});
    }
    const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return Parse(data);
}

ProfileDocument ProfileDocument::Parse(std::string_view text) {
    ProfileDocument document;
    document.sections = Split(text);
    return document;
}

std::string ProfileDocument::GetString(const std::string& section, const std::string& key,
                                       const std::string& defaultValue,
                                       std::size_t bufferSize) const {
    // Trailing spaces of the default are dropped, as the platform does.
    std::string_view fallback(defaultValue);
    while (!fallback.empty() && fallback.back() == ' ') {
        fallback.remove_suffix(1);
    }
    if (bufferSize == 0) {
        return {};
    }
    // Only the first section of a name is searched, with the names trimmed of blanks.
    const Section* found = FindSection(sections, Trim(section));
    if (found != nullptr) {
        const std::string_view wanted = Trim(key);
        for (const Entry& entry : found->entries) {
            if (EqualNoCase(entry.name, wanted)) {
                if (entry.value) {
                    return CopyValue(*entry.value, bufferSize);
                }
                break;
            }
        }
    }
    return CopyValue(fallback, bufferSize);
}

unsigned ProfileDocument::GetInt(const std::string& section, const std::string& key,
                                 int defaultValue) const {
    // The platform reads the value through a 30-character buffer, then converts it like
    // RtlUnicodeStringToInteger with base 0: blanks, a sign, an optional 0x/0o/0b prefix.
    const std::string text = GetString(section, key, "", 30);
    if (text.empty()) {
        return static_cast<unsigned>(defaultValue);
    }
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' ||
                               text[i] == '\r' || text[i] == '\v' || text[i] == '\f')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    unsigned base = 10;
    if (i + 1 < text.size() && text[i] == '0') {
        const char marker = text[i + 1];
        if (marker == 'x' || marker == 'X') {
            base = 16;
        } else if (marker == 'o' || marker == 'O') {
            base = 8;
        } else if (marker == 'b' || marker == 'B') {
            base = 2;
        }
        if (base != 10) {
            i += 2;
        }
    }
    std::uint32_t total = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        unsigned digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (c >= 'a' && c <= 'z') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'Z') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            break;
        }
        if (digit >= base) {
            break;
        }
        total = total * base + digit;
    }
    return negative ? 0u - total : total;
}

std::vector<char> ProfileDocument::GetSection(const std::string& section,
                                              std::size_t bufferSize) const {
    std::vector<char> out(bufferSize, '\0');
    if (bufferSize <= 2) {
        return out;
    }
    // The platform builds the list in a wide buffer of twice the size, then converts it into
    // bufferSize - 2 bytes; a list that does not fit is cut there and ends with two zeros.
    const std::size_t wideSize = bufferSize * 2;
    std::string list;
    // Here the name is taken as given, without trimming.
    if (const Section* found = FindSection(sections, section)) {
        std::size_t left = wideSize;
        bool cut = false;
        for (const Entry& entry : found->entries) {
            if (left <= 2) {
                break;
            }
            if (!entry.name.empty() && entry.name.front() == ';') {
                continue;  // comment lines are not part of a section's contents
            }
            std::string piece = CopyN(entry.name, left - 1);
            left -= piece.size() + 1;
            list += piece;
            list.push_back('\0');
            if (left < 2) {
                break;
            }
            if (entry.value) {
                list.back() = '=';
                std::string value = CopyN(*entry.value, left - 1);
                left -= value.size() + 1;
                list += value;
                list.push_back('\0');
            }
        }
        if (left <= 1) {
            cut = true;
        }
        if (cut && !list.empty()) {
            list.back() = '\0';
        }
    }
    list.push_back('\0');  // the empty string that ends the list
    const std::size_t room = bufferSize - 2;
    std::copy_n(list.begin(), std::min(list.size(), room), out.begin());
    return out;
}

std::string PortableProfile::GetString(const std::string& path, const std::string& section,
                                       const std::string& key, const std::string& defaultValue,
                                       std::size_t bufferSize) {
    return ProfileDocument::Read(path).GetString(section, key, defaultValue, bufferSize);
}

unsigned PortableProfile::GetInt(const std::string& path, const std::string& section,
                                 const std::string& key, int defaultValue) {
    return ProfileDocument::Read(path).GetInt(section, key, defaultValue);
}

std::vector<char> PortableProfile::GetSection(const std::string& path, const std::string& section,
                                              std::size_t bufferSize) {
    return ProfileDocument::Read(path).GetSection(section, bufferSize);
}

}  // namespace orvix
