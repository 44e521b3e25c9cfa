#include "orvelle/core/Setting.h"

#include "orvelle/core/GUITool.h"

#include <algorithm>

namespace orvelle {

int TXMLAppearenceSettingType::ConstantAlpha() { return std::clamp(Transparent() * 255 / 10, 0, 255); }

void TSettingsDocument::LoadFromFile(const std::string& path) { LoadXmlFile(FDocument, path, "setting"); }

void TSettingsDocument::SaveToFile(const std::string& path) const { SaveXmlFile(FDocument, path); }

TXMLSettingType TSettingsDocument::Setting() {
    if (!Active()) throw std::logic_error("The settings are not loaded");
    return TXMLSettingType(FDocument.document_element());
}

TSettingsDocument& SettingsDocument() {
    static TSettingsDocument document;
    return document;
}

TXMLSettingType Settings() { return SettingsDocument().Setting(); }

void LoadSettings() { SettingsDocument().LoadFromFile(CurrentDataFolder() + "Setting.xml"); }

void SaveSettings() { SettingsDocument().SaveToFile(CurrentDataFolder() + "Setting.xml"); }

void ReleaseSettings() { SettingsDocument().Clear(); }

}  // namespace orvelle
