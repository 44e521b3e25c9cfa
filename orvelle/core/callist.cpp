#include "orvelle/core/callist.h"

#include "orvelle/core/GUITool.h"
#include "orvelle/core/Setting.h"
#include "platform/AtomicFile.h"
#include "platform/Folders.h"

#include <cstring>
#include <stdexcept>

namespace orvelle {

namespace {

const std::uint32_t kWhite = 16777215;

std::string FileName(const char* name) { return CurrentDataFolder() + name; }

}  // namespace

bool TXMLCalType::IsActive() const {
    try {
        return TextToBoolean(AttributeText("IsActive"));
    } catch (const EConvertError& e) {
        throw EConvertError("Calendar \"" + Name() + "\" IsActive: " + e.what());
    }
}

bool TXMLCalType::IsReadOnly() const {
    std::string text = AttributeText("IsReadOnly");
    if (text.empty()) return false;
    try {
        return TextToBoolean(text);
    } catch (const EConvertError& e) {
        throw EConvertError("Calendar \"" + Name() + "\" IsReadOnly: " + e.what());
    }
}

std::uint32_t TXMLCalType::CalendarColor() {
    std::string text = ChildText("CalendarColor");
    if (text.empty()) return kWhite;
    try {
        return TextToCardinal(text);
    } catch (const EConvertError& e) {
        throw EConvertError("Calendar \"" + Name() + "\" CalendarColor: " + e.what());
    }
}

void TXMLCalType::SetCalendarColor(std::uint32_t v) { SetChildText("CalendarColor", std::to_string(v)); }

int TXMLCalListType::Count() const {
    int n = 0;
    for (pugi::xml_node c = FNode.child("Cal"); c; c = c.next_sibling("Cal")) ++n;
    return n;
}

TXMLCalType TXMLCalListType::Cal(int index) const {
    int i = 0;
    if (index >= 0)
        for (pugi::xml_node c = FNode.child("Cal"); c; c = c.next_sibling("Cal"), ++i)
            if (i == index) return TXMLCalType(c);
    throw std::out_of_range("Calendar list index out of bounds (" + std::to_string(index) + ")");
}

TXMLCalType TXMLCalListType::Add() { return TXMLCalType(FNode.append_child("Cal")); }

TXMLCalType TXMLCalListType::Insert(int index) {
    if (index == Count()) return Add();
    pugi::xml_node before = Cal(index).Node();
    return TXMLCalType(FNode.insert_child_before("Cal", before));
}

void TXMLCalListType::Delete(int index) { FNode.remove_child(Cal(index).Node()); }

int TXMLCalListType::Remove(const TXMLCalType& cal) {
    int i = 0;
    for (pugi::xml_node c = FNode.child("Cal"); c; c = c.next_sibling("Cal"), ++i)
        if (c == cal.Node()) {
            FNode.remove_child(c);
            return i;
        }
    return -1;
}

void TXMLCalListType::Clear() {
    while (pugi::xml_node c = FNode.child("Cal")) FNode.remove_child(c);
}

void TCalendarListDocument::LoadFromFile(const std::string& path) { LoadXmlFile(FDocument, path, "CalList"); }

void TCalendarListDocument::SaveToFile(const std::string& path) const { SaveXmlFile(FDocument, path); }

TXMLCalListType TCalendarListDocument::CalList() {
    if (!Active()) throw std::logic_error("The calendar list is not loaded");
    return TXMLCalListType(FDocument.document_element());
}

TCalendarListDocument& CalendarListDocument() {
    static TCalendarListDocument document;
    return document;
}

TXMLCalListType CalendarList() { return CalendarListDocument().CalList(); }

void LoadCalendarList() { CalendarListDocument().LoadFromFile(FileName("callist.xml")); }

void SaveCalendarList() { CalendarListDocument().SaveToFile(FileName("callist.xml")); }

void ReleaseCalendarList() { CalendarListDocument().Clear(); }

void PrepareFirstRun() {
    if (!GUITools) throw std::logic_error("PrepareFirstRun needs GUITools");
    GUITools->Log("Calender setting file does not exist, begin to create a new one");

    Settings().GeneralSetting().SetReminderWav(TGUITools::WindowsFolder() + "media/notify.wav");
    SaveSettings();

    // The installed calendars go to the documents folder, where the list will point; a file the
    // user already has there is never replaced.
    const std::string documents = GUITools->DocumentFolder();
    const std::string installed = TGUITools::InstalledDataFolder();
    for (const char* name : {"default.ics", "US Holidays.ics"}) {
        if (platform::FileExists(documents + name)) continue;
        std::string bytes;
        if (installed.empty() || !platform::TryReadWholeFile(installed + name, bytes)) {
            GUITools->Log(std::string("Installed calendar is missing: ") + name);
            continue;
        }
        platform::EnsureFolder(documents);
        platform::WriteFileAtomic(documents + name, bytes);
    }

    LoadCalendarList();
    TXMLCalListType list = CalendarList();
    for (int i = 0; i < list.Count(); ++i) {
        TXMLCalType cal = list.Cal(i);
        if (cal.Name() == "Default") cal.SetLocalPath(documents + "default.ics");
        else if (cal.Name() == "US Holidays") cal.SetLocalPath(documents + "US Holidays.ics");
    }
    SaveCalendarList();

    // Marked done only now: a failure above leaves the step to be taken again at the next start.
    platform::WriteFileAtomic(FileName("install.ini"), "");
    GUITools->Log("Finish to create calendar setting");
}

bool LoadOrPrepareCalendarList() {
    if (platform::FileExists(FileName("install.ini"))) {
        LoadCalendarList();
        return false;
    }
    PrepareFirstRun();
    return true;
}

std::vector<std::string> ReadTextLines(const std::string& path) {
    std::vector<std::string> lines;
    std::string text;
    if (!platform::TryReadWholeFile(path, text)) return lines;
    std::size_t pos = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        std::string line = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        pos = end == std::string::npos ? text.size() : end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(" \t") != std::string::npos) lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> LoadColorList() { return ReadTextLines(FileName("color.ini")); }

std::vector<std::string> LoadCategoryList() { return ReadTextLines(FileName("category.ini")); }

std::uint32_t ColorTextToValue(const std::string& text) {
    if (text.size() < 2 || text.size() > 9 || text[0] != '$')
        throw EConvertError("'" + text + "' is not a valid colour value");
    std::uint32_t v = 0;
    for (std::size_t i = 1; i < text.size(); ++i) {
        char c = text[i];
        int d = (c >= '0' && c <= '9') ? c - '0'
              : (c >= 'a' && c <= 'f') ? c - 'a' + 10
              : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
        if (d < 0) throw EConvertError("'" + text + "' is not a valid colour value");
        v = v * 16 + static_cast<std::uint32_t>(d);
    }
    return v;
}

}  // namespace orvelle
