#pragma once
#include "orvelle/core/XmlNode.h"

#include <memory>
#include <string>

namespace orvelle {

// Setting.xml: the user's preferences. Reading a value creates its element when it is missing, so
// the next save writes it; an empty or malformed value raises EConvertError, except for the three
// values with a default. Booleans are written "True"/"False".

// <GeneralSetting>
class TXMLGeneralSettingType : public TXMLNode {
public:
    using TXMLNode::TXMLNode;
    bool RunAtStartup() { return ChildBoolean("RunAtStartup"); }
    void SetRunAtStartup(bool v) { SetChildBoolean("RunAtStartup", v); }
    bool HourlyTimeAnnouncement() { return ChildBoolean("HourlyTimeAnnouncement"); }
    void SetHourlyTimeAnnouncement(bool v) { SetChildBoolean("HourlyTimeAnnouncement", v); }
    std::string ReminderWav() { return ChildText("ReminderWav"); }
    void SetReminderWav(const std::string& v) { SetChildText("ReminderWav", v); }
    int FirstDayOfWeek() { return ChildInteger("FirstDayOfWeek"); }
    void SetFirstDayOfWeek(int v) { SetChildInteger("FirstDayOfWeek", v); }
    bool DisplayAppointment() { return ChildBoolean("DisplayAppointment"); }
    void SetDisplayAppointment(bool v) { SetChildBoolean("DisplayAppointment", v); }
    bool DisplayTask() { return ChildBoolean("DisplayTask"); }
    void SetDisplayTask(bool v) { SetChildBoolean("DisplayTask", v); }
    bool DisplayWeather() { return ChildBoolean("DisplayWeather"); }
    void SetDisplayWeather(bool v) { SetChildBoolean("DisplayWeather", v); }
    bool DisplayNote() { return ChildBoolean("DisplayNote"); }
    void SetDisplayNote(bool v) { SetChildBoolean("DisplayNote", v); }
    int SyncGoogleInterval() { return ChildIntegerOr("SyncGoogleInterval", 10); }  // 10 when empty
    void SetSyncGoogleInterval(int v) { SetChildInteger("SyncGoogleInterval", v); }
    bool IsStartFromSunday() { return ChildBooleanOr("IsStartFromSunday", true); }  // true when empty
    void SetIsStartFromSunday(bool v) { SetChildBoolean("IsStartFromSunday", v); }
};

// <AppearenceSetting>
class TXMLAppearenceSettingType : public TXMLNode {
public:
    using TXMLNode::TXMLNode;
    std::string StyleName() { return ChildText("StyleName"); }
    void SetStyleName(const std::string& v) { SetChildText("StyleName", v); }
    int Transparent() { return ChildInteger("Transparent"); }
    void SetTransparent(int v) { SetChildInteger("Transparent", v); }
    std::string WindowStyle() { return ChildText("WindowStyle"); }
    void SetWindowStyle(const std::string& v) { SetChildText("WindowStyle", v); }
    bool Normal() { return ChildBoolean("Normal"); }
    void SetNormal(bool v) { SetChildBoolean("Normal", v); }
    bool Topmost() { return ChildBoolean("Topmost"); }
    void SetTopmost(bool v) { SetChildBoolean("Topmost", v); }
    bool Desktop() { return ChildBoolean("Desktop"); }
    void SetDesktop(bool v) { SetChildBoolean("Desktop", v); }
    bool Movable() { return ChildBoolean("Movable"); }
    void SetMovable(bool v) { SetChildBoolean("Movable", v); }

    // The windows' constant alpha: Transparent tenths of 255, kept within 0..255.
    int ConstantAlpha();
};

// <weather>
class TXMLWeatherType : public TXMLNode {
public:
    using TXMLNode::TXMLNode;
    std::string Weatherserver() { return ChildText("weatherserver"); }
    void SetWeatherserver(const std::string& v) { SetChildText("weatherserver", v); }
    std::string Cityname() { return ChildText("cityname"); }
    void SetCityname(const std::string& v) { SetChildText("cityname", v); }
    std::string Latitude() { return ChildText("latitude"); }
    void SetLatitude(const std::string& v) { SetChildText("latitude", v); }
    std::string Longitude() { return ChildText("longitude"); }
    void SetLongitude(const std::string& v) { SetChildText("longitude", v); }
    std::string Station() { return ChildText("station"); }
    void SetStation(const std::string& v) { SetChildText("station", v); }
    std::string Url() { return ChildText("url"); }
    void SetUrl(const std::string& v) { SetChildText("url", v); }
    int Hours() { return ChildInteger("hours"); }
    void SetHours(int v) { SetChildInteger("hours", v); }
    std::string Refreshinterval() { return ChildText("refreshinterval"); }
    void SetRefreshinterval(const std::string& v) { SetChildText("refreshinterval", v); }
    std::string Autosave() { return ChildText("autosave"); }
    void SetAutosave(const std::string& v) { SetChildText("autosave", v); }
    std::string Fahrenheit() { return ChildText("Fahrenheit"); }
    void SetFahrenheit(const std::string& v) { SetChildText("Fahrenheit", v); }
    std::string Centigrade() { return ChildText("Centigrade"); }
    void SetCentigrade(const std::string& v) { SetChildText("Centigrade", v); }
    bool Notuseproxy() { return ChildBoolean("notuseproxy"); }
    void SetNotuseproxy(bool v) { SetChildBoolean("notuseproxy", v); }
    bool Usehttpproxy() { return ChildBoolean("usehttpproxy"); }
    void SetUsehttpproxy(bool v) { SetChildBoolean("usehttpproxy", v); }
    bool Useproxy() { return ChildBoolean("useproxy"); }
    void SetUseproxy(bool v) { SetChildBoolean("useproxy", v); }
    std::string Proxyserver() { return ChildText("proxyserver"); }
    void SetProxyserver(const std::string& v) { SetChildText("proxyserver", v); }
    std::string Proxyport() { return ChildText("proxyport"); }
    void SetProxyport(const std::string& v) { SetChildText("proxyport", v); }
    std::string Proxyusername() { return ChildText("proxyusername"); }
    void SetProxyusername(const std::string& v) { SetChildText("proxyusername", v); }
    std::string Proxypassword() { return ChildText("proxypassword"); }
    void SetProxypassword(const std::string& v) { SetChildText("proxypassword", v); }
};

// <Task>
class TXMLTaskType : public TXMLNode {
public:
    using TXMLNode::TXMLNode;
    int MaxTask() { return ChildInteger("MaxTask"); }
    void SetMaxTask(int v) { SetChildInteger("MaxTask", v); }
    int Task() { return ChildInteger("Task"); }
    void SetTask(int v) { SetChildInteger("Task", v); }
    bool ShowTask() { return ChildBoolean("ShowTask"); }
    void SetShowTask(bool v) { SetChildBoolean("ShowTask", v); }
    int ShowTaskLevel() { return ChildIntegerOr("ShowTaskLevel", -1); }  // -1 when empty
    void SetShowTaskLevel(int v) { SetChildInteger("ShowTaskLevel", v); }
    std::string LastUsedCalendar() { return ChildText("LastUsedCalendar"); }
    void SetLastUsedCalendar(const std::string& v) { SetChildText("LastUsedCalendar", v); }
};

// <Appointment>
class TXMLAppointmentType : public TXMLNode {
public:
    using TXMLNode::TXMLNode;
    int ShowTime() { return ChildInteger("ShowTime"); }
    void SetShowTime(int v) { SetChildInteger("ShowTime", v); }
    int Maxday() { return ChildInteger("Maxday"); }
    void SetMaxday(int v) { SetChildInteger("Maxday", v); }
    bool DefaultPst() { return ChildBoolean("DefaultPst"); }
    void SetDefaultPst(bool v) { SetChildBoolean("DefaultPst", v); }
};

// <setting>, the document element of Setting.xml. Groups are found by name; a missing one is created.
class TXMLSettingType : public TXMLNode {
public:
    using TXMLNode::TXMLNode;
    TXMLGeneralSettingType GeneralSetting() { return TXMLGeneralSettingType(ChildElement("GeneralSetting")); }
    TXMLAppearenceSettingType AppearenceSetting() { return TXMLAppearenceSettingType(ChildElement("AppearenceSetting")); }
    TXMLWeatherType Weather() { return TXMLWeatherType(ChildElement("weather")); }
    TXMLTaskType Task() { return TXMLTaskType(ChildElement("Task")); }
    TXMLAppointmentType Appointment() { return TXMLAppointmentType(ChildElement("Appointment")); }
};

// The settings document: owns the XML document the nodes above point into.
class TSettingsDocument {
public:
    // Replaces the content with the file's; throws EXmlFileError and keeps the old content when
    // the file is missing or not a settings file.
    void LoadFromFile(const std::string& path);
    // Throws platform::FileError; the content is unchanged either way.
    void SaveToFile(const std::string& path) const;
    bool Active() const { return static_cast<bool>(FDocument.document_element()); }
    TXMLSettingType Setting();
    pugi::xml_document& Document() { return FDocument; }
    void Clear() { FDocument.reset(); }

private:
    pugi::xml_document FDocument;
};

// The application's settings document, read at the moment a value is needed.
TSettingsDocument& SettingsDocument();
// Its document element; throws std::logic_error before LoadSettings.
TXMLSettingType Settings();
// Loads data folder + "Setting.xml". Nodes taken from the previous document must not be used after.
void LoadSettings();
void SaveSettings();
void ReleaseSettings();

}  // namespace orvelle
