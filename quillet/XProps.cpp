#include "quillet/XProps.h"

#include "quillet/LibraryError.h"
#include "quillet/Log.h"

namespace quillet {

std::shared_ptr<PropertyEntry> FindXProp(const XPropList& list, std::string_view name) {
    for (const auto& e : list)
        if (e && !e->IsComponent && e->Name == name) return e;
    return nullptr;
}

std::string GetXPropValue(const XPropList& list, std::string_view name) {
    auto e = FindXProp(list, name);
    return e ? e->Value : std::string();
}

void SetXPropValue(XPropList& list, const std::string& name, const std::string& value,
                   const char* owner) {
    try {
        // A value is one content line: a line break in it would split the property in the file.
        if (value.find_first_of("\r\n") != std::string::npos)
            throw LibraryError(kErrFormat, owner, "Invalid X-property value");
        if (auto e = FindXProp(list, name)) {
            e->SetValue(value);
        } else {
            list.Add(std::make_shared<PropertyEntry>(name, value));
        }
    } catch (const LibraryError& err) {
        WriteLog(std::string(owner) + ".SetXPropValue error:" + err.Description());
        throw;
    }
}

}  // namespace quillet
