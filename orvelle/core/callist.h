#pragma once
#include "orvelle/core/XmlNode.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orvelle {

// One <Cal> of callist.xml: a calendar's file, name, visibility, colour and Google link. Missing
// attributes read as empty.
class TXMLCalType : public TXMLNode {
public:
    using TXMLNode::TXMLNode;

    std::string Name() const { return AttributeText("Name"); }
    void SetName(const std::string& v) { SetAttributeText("Name", v); }
    std::string LocalPath() const { return AttributeText("LocalPath"); }
    void SetLocalPath(const std::string& v) { SetAttributeText("LocalPath", v); }
    std::string GoogleName() const { return AttributeText("GoogleName"); }
    void SetGoogleName(const std::string& v) { SetAttributeText("GoogleName", v); }
    // Raises EConvertError when empty or malformed.
    bool IsActive() const;
    void SetIsActive(bool v) { SetAttributeText("IsActive", BooleanToText(v)); }
    std::string Link() const { return AttributeText("Link"); }
    void SetLink(const std::string& v) { SetAttributeText("Link", v); }
    std::string Account() const { return AttributeText("Account"); }
    void SetAccount(const std::string& v) { SetAttributeText("Account", v); }
    std::string Password() const { return AttributeText("Password"); }
    void SetPassword(const std::string& v) { SetAttributeText("Password", v); }
    // "Local", "GooglePrivate", "GooglePublic"; anything else counts as local.
    std::string CalendarType() const { return AttributeText("CalendarType"); }
    void SetCalendarType(const std::string& v) { SetAttributeText("CalendarType", v); }
    bool IsReadOnly() const;  // false when empty
    void SetIsReadOnly(bool v) { SetAttributeText("IsReadOnly", BooleanToText(v)); }

    // 0x00BBGGRR; white (16777215) when empty. A missing element is created, empty.
    std::uint32_t CalendarColor();
    void SetCalendarColor(std::uint32_t v);
};

// <CalList>: the calendars in display order. An entry's index (from 0) is the calendar's index in
// the calendar manager and in every menu.
class TXMLCalListType : public TXMLNode {
public:
    using TXMLNode::TXMLNode;

    int Count() const;
    // Throws std::out_of_range outside 0 .. Count-1.
    TXMLCalType Cal(int index) const;
    TXMLCalType Add();
    // 0 .. Count; Count appends.
    TXMLCalType Insert(int index);
    void Delete(int index);
    // The index the entry had, -1 when it is not in this list.
    int Remove(const TXMLCalType& cal);
    void Clear();
};

// The calendar list document, owning the XML the nodes above point into.
class TCalendarListDocument {
public:
    // Throws EXmlFileError and keeps the old content when the file is missing or not a calendar list.
    void LoadFromFile(const std::string& path);
    void SaveToFile(const std::string& path) const;  // throws platform::FileError
    bool Active() const { return static_cast<bool>(FDocument.document_element()); }
    TXMLCalListType CalList();
    pugi::xml_document& Document() { return FDocument; }
    void Clear() { FDocument.reset(); }

private:
    pugi::xml_document FDocument;
};

TCalendarListDocument& CalendarListDocument();
// Its <CalList>; throws std::logic_error before LoadCalendarList.
TXMLCalListType CalendarList();
void LoadCalendarList();  // data folder + "callist.xml"
void SaveCalendarList();
void ReleaseCalendarList();

// The first-run step: the chime sound, the two installed calendars placed in the documents folder
// and pointed at by the "Default" and "US Holidays" entries, then install.ini as the mark that it
// was done. Needs GUITools and the loaded settings.
void PrepareFirstRun();

// What the month window does at its creation: LoadCalendarList when install.ini exists, else the
// first-run step. True when the first-run step ran (the calendar wizard is then due).
bool LoadOrPrepareCalendarList();

// Lines of color.ini and category.ini in the data folder, in file order, blank lines left out;
// empty when the file is missing.
std::vector<std::string> LoadColorList();
std::vector<std::string> LoadCategoryList();
std::vector<std::string> ReadTextLines(const std::string& path);

// "$A32929" read as the integer 0xA32929 (no byte reordering); raises EConvertError when the text
// is not "$" and one to eight hexadecimal digits.
std::uint32_t ColorTextToValue(const std::string& text);

}  // namespace orvelle
