#pragma once
#include <string>
#include <string_view>

namespace quillet {

// One content line (or one component the library does not model) as read from a file.
// Name and Value are what clients see; Params and RawValue carry the rest of the line so that
// nothing is lost when the entry is written back.
struct PropertyEntry {
    std::string Name;
    std::string Value;
    std::string Params;    // ";CN=\"Ann\";PARTSTAT=ACCEPTED" as read, or empty
    std::string RawValue;  // the value text exactly as after the colon
    bool IsComponent = false;  // Value holds the inner lines of BEGIN:Name … END:Name

    PropertyEntry() = default;
    PropertyEntry(std::string name, std::string value)
        : Name(std::move(name)), Value(std::move(value)) {}

    // item("Name") / item("Value"), the keyed access clients use.
    const std::string& operator()(std::string_view key) const {
        return key == "Name" ? Name : Value;
    }

    void SetValue(std::string v) {
        RawValue = v;
        Value = std::move(v);
    }

    // The entry as text: "NAME;PARAMS:VALUE", or a whole BEGIN … END block.
    std::string ToString() const;
};

}  // namespace quillet
