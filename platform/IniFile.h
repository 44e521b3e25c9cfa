#pragma once
#include <string>
#include <vector>

namespace platform {

// The small INI format of the window-position, sort-order and account files: "[Section]" lines,
// "Key=Value" lines, comment lines starting with ';' or '#'. Section and key names compare without
// regard to letter case, as the format has always done; values are kept as written. Booleans are
// "1"/"0". Comments and the order of sections and keys survive a load and save.
class TIniFile {
public:
    TIniFile() = default;
    explicit TIniFile(std::string fileName);  // loads the file when it exists

    const std::string& FileName() const { return FFileName; }

    // Replaces the content with the file's; a missing file gives an empty content. Throws
    // platform::FileError only when the file exists but cannot be read.
    void Load(const std::string& fileName);
    void LoadFromText(const std::string& text);

    // Writes the content atomically (CR LF line ends); throws platform::FileError.
    void Save() const;
    void SaveAs(const std::string& fileName, int mode = -1) const;
    std::string Text() const;

    std::string ReadString(const std::string& section, const std::string& key, const std::string& def = {}) const;
    // A whole decimal number (or "$"/"0x" hexadecimal); the default when absent or malformed.
    int ReadInteger(const std::string& section, const std::string& key, int def = 0) const;
    // "0" is false, any other whole number true; the default when absent or not a number.
    bool ReadBool(const std::string& section, const std::string& key, bool def = false) const;

    // Line breaks in a value cannot be stored in this format and are replaced by blanks.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    void WriteBool(const std::string& section, const std::string& key, bool value);

    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& key) const;
    std::vector<std::string> ReadSections() const;
    std::vector<std::string> ReadSection(const std::string& section) const;  // the keys, in order
    void EraseSection(const std::string& section);
    void DeleteKey(const std::string& section, const std::string& key);

private:
    struct Line {
        std::string Key;    // empty for a comment or a blank line
        std::string Value;  // or the raw text of a comment line
    };
    struct Section {
        std::string Name;
        std::vector<Line> Lines;
    };
    const Section* Find(const std::string& section) const;
    Section* Find(const std::string& section);
    static const Line* FindKey(const Section& s, const std::string& key);

    std::string FFileName;
    std::vector<Section> FSections;  // the first has an empty name: lines before any "[...]"
};

}  // namespace platform
