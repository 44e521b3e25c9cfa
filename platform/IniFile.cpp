#include "platform/IniFile.h"

#include "platform/AtomicFile.h"
#include "platform/Folders.h"

#include <cerrno>
#include <cstdlib>
#include <strings.h>

namespace platform {

namespace {

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

std::string Trim(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    std::size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

bool ParseInteger(const std::string& text, long long& out) {
    std::string t = Trim(text);
    if (t.empty()) return false;
    std::size_t i = 0;
    bool negative = false;
    if (t[i] == '+' || t[i] == '-') negative = t[i++] == '-';
    int base = 10;
    if (i < t.size() && t[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < t.size() && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= t.size()) return false;
    long long v = 0;
    for (; i < t.size(); ++i) {
        int d;
        char c = t[i];
        if (c >= '0' && c <= '9') d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return false;
        v = v * base + d;
        if (v > 0xFFFFFFFFLL) return false;
    }
    out = negative ? -v : v;
    return true;
}

}  // namespace

TIniFile::TIniFile(std::string fileName) { Load(fileName); }

void TIniFile::Load(const std::string& fileName) {
    FFileName = fileName;
    std::string text;
    if (!TryReadWholeFile(fileName, text)) {
        if (errno != ENOENT) throw FileError("Cannot read \"" + fileName + "\"");
        text.clear();
    }
    LoadFromText(text);
}

void TIniFile::LoadFromText(const std::string& text) {
    FSections.clear();
    FSections.push_back({});
    std::size_t pos = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        std::string raw = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        pos = end == std::string::npos ? text.size() : end + 1;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        std::string t = Trim(raw);
        if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
            FSections.push_back({Trim(t.substr(1, t.size() - 2)), {}});
            continue;
        }
        std::size_t eq = t.find('=');
        if (t.empty() || t[0] == ';' || t[0] == '#' || eq == std::string::npos || Trim(t.substr(0, eq)).empty()) {
            FSections.back().Lines.push_back({{}, raw});
            continue;
        }
        FSections.back().Lines.push_back({Trim(t.substr(0, eq)), t.substr(eq + 1)});
    }
    // Blank lines at the very end are an artefact of the line ends, not content.
    for (auto& s : FSections)
        while (!s.Lines.empty() && s.Lines.back().Key.empty() && Trim(s.Lines.back().Value).empty())
            s.Lines.pop_back();
}

std::string TIniFile::Text() const {
    std::string out;
    for (std::size_t i = 0; i < FSections.size(); ++i) {
        const Section& s = FSections[i];
        if (i > 0) {
            if (i > 1) out += "\r\n";  // sections are set apart; a leading comment block stays attached
            out += "[" + s.Name + "]\r\n";
        }
        for (const auto& l : s.Lines) out += (l.Key.empty() ? l.Value : l.Key + "=" + l.Value) + "\r\n";
    }
    return out;
}

void TIniFile::Save() const { SaveAs(FFileName); }

void TIniFile::SaveAs(const std::string& fileName, int mode) const {
    AtomicWriteOptions options;
    if (mode >= 0) {
        options.Mode = mode;
        options.ForceMode = true;
    }
    WriteFileAtomic(fileName, Text(), options);
}

const TIniFile::Section* TIniFile::Find(const std::string& section) const {
    for (std::size_t i = 1; i < FSections.size(); ++i)
        if (SameName(FSections[i].Name, section)) return &FSections[i];
    return nullptr;
}

TIniFile::Section* TIniFile::Find(const std::string& section) {
    return const_cast<Section*>(static_cast<const TIniFile*>(this)->Find(section));
}

const TIniFile::Line* TIniFile::FindKey(const Section& s, const std::string& key) {
    for (const auto& l : s.Lines)
        if (!l.Key.empty() && SameName(l.Key, key)) return &l;
    return nullptr;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) const {
    const Section* s = Find(section);
    const Line* l = s ? FindKey(*s, key) : nullptr;
    return l ? l->Value : def;
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key, int def) const {
    if (!ValueExists(section, key)) return def;
    long long v;
    if (!ParseInteger(ReadString(section, key), v) || v < -2147483648LL || v > 0xFFFFFFFFLL) return def;
    return static_cast<int>(static_cast<unsigned long long>(v) & 0xFFFFFFFFu);
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
    if (!ValueExists(section, key)) return def;
    long long v;
    if (!ParseInteger(ReadString(section, key), v)) return def;
    return v != 0;
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    if (FSections.empty()) FSections.push_back({});
    std::string clean = value;
    for (char& c : clean)
        if (c == '\r' || c == '\n') c = ' ';
    Section* s = Find(section);
    if (!s) {
        FSections.push_back({section, {}});
        s = &FSections.back();
    }
    if (const Line* l = FindKey(*s, key)) {
        const_cast<Line*>(l)->Value = clean;
        return;
    }
    // New keys go after the section's last key, before any trailing comment block.
    std::size_t at = s->Lines.size();
    while (at > 0 && s->Lines[at - 1].Key.empty()) --at;
    s->Lines.insert(s->Lines.begin() + static_cast<std::ptrdiff_t>(at), Line{key, clean});
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
    WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

bool TIniFile::SectionExists(const std::string& section) const { return Find(section) != nullptr; }

bool TIniFile::ValueExists(const std::string& section, const std::string& key) const {
    const Section* s = Find(section);
    return s && FindKey(*s, key);
}

std::vector<std::string> TIniFile::ReadSections() const {
    std::vector<std::string> out;
    for (std::size_t i = 1; i < FSections.size(); ++i) out.push_back(FSections[i].Name);
    return out;
}

std::vector<std::string> TIniFile::ReadSection(const std::string& section) const {
    std::vector<std::string> out;
    if (const Section* s = Find(section))
        for (const auto& l : s->Lines)
            if (!l.Key.empty()) out.push_back(l.Key);
    return out;
}

void TIniFile::EraseSection(const std::string& section) {
    for (std::size_t i = 1; i < FSections.size(); ++i)
        if (SameName(FSections[i].Name, section)) {
            FSections.erase(FSections.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
}

void TIniFile::DeleteKey(const std::string& section, const std::string& key) {
    Section* s = Find(section);
    if (!s) return;
    for (auto it = s->Lines.begin(); it != s->Lines.end(); ++it)
        if (!it->Key.empty() && SameName(it->Key, key)) {
            s->Lines.erase(it);
            return;
        }
}

}  // namespace platform
