#pragma once
#include <cstdint>
#include <pugixml.hpp>
#include <stdexcept>
#include <string>

namespace orvelle {

// A stored text that does not convert to the value's type.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An XML file that is missing, unreadable, not well-formed or of the wrong kind.
class EXmlFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Text forms shared by the settings and the calendar list. Reading accepts "True"/"False" in any
// letter case or a number (0 is false); writing gives "True"/"False" exactly, as other programs
// reading these files compare with "True".
bool TextToBoolean(const std::string& text);          // throws EConvertError
int TextToInteger(const std::string& text);           // decimal whole number; throws EConvertError
std::uint32_t TextToCardinal(const std::string& text);  // 0 .. 4294967295; throws EConvertError
const char* BooleanToText(bool value);

// Base of the classes bound to XML elements: a light handle on one element of a document owned
// elsewhere. It must not be used after its document was reloaded or released.
class TXMLNode {
public:
    TXMLNode() = default;
    explicit TXMLNode(pugi::xml_node node) : FNode(node) {}
    pugi::xml_node Node() const { return FNode; }
    bool Assigned() const { return static_cast<bool>(FNode); }
    bool operator==(const TXMLNode& other) const { return FNode == other.FNode; }

protected:
    // The child element of that name; a missing one is created, empty, so that the next save
    // writes it.
    pugi::xml_node ChildElement(const char* name);

    std::string ChildText(const char* name);
    void SetChildText(const char* name, const std::string& value);
    bool ChildBoolean(const char* name);
    bool ChildBooleanOr(const char* name, bool whenEmpty);
    int ChildInteger(const char* name);
    int ChildIntegerOr(const char* name, int whenEmpty);
    void SetChildBoolean(const char* name, bool value);
    void SetChildInteger(const char* name, int value);

    std::string AttributeText(const char* name) const;
    void SetAttributeText(const char* name, const std::string& value);

    // "GeneralSetting/DisplayTask" and the like, for error messages.
    std::string PathOf(const char* name) const;

    pugi::xml_node FNode;
};

// The text a saved XML file holds: the declaration line, then the document re-indented by two
// blanks per level, lines ended by CR LF, UTF-8 without byte-order mark.
std::string XmlFileText(const pugi::xml_node& node);

// Writes XmlFileText of the node's document to the path as one atomic replacement; throws
// platform::FileError and leaves the old file whole on failure.
void SaveXmlFile(const pugi::xml_node& node, const std::string& path);

// Loads the file into the document, which must have the given document element; throws
// EXmlFileError naming the file and the fault. The document is unchanged on failure.
void LoadXmlFile(pugi::xml_document& document, const std::string& path, const char* documentElement);

}  // namespace orvelle
