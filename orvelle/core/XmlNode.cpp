#include "orvelle/core/XmlNode.h"

#include "platform/AtomicFile.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <strings.h>

namespace orvelle {

namespace {

std::string Trim(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    std::size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

bool ParseWhole(const std::string& text, long long& out) {
    std::string t = Trim(text);
    if (t.empty()) return false;
    std::size_t i = (t[0] == '+' || t[0] == '-') ? 1 : 0;
    if (i >= t.size() || t.size() - i > 18) return false;
    for (std::size_t k = i; k < t.size(); ++k)
        if (t[k] < '0' || t[k] > '9') return false;
    out = std::strtoll(t.c_str(), nullptr, 10);
    return true;
}

bool ParseFloat(const std::string& text, double& out) {
    std::string t = Trim(text);
    if (t.empty()) return false;
    // Only plain decimal notation: no hexadecimal, infinity or not-a-number spellings.
    for (char c : t)
        if (!((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E')) return false;
    char* end = nullptr;
    errno = 0;
    out = std::strtod(t.c_str(), &end);
    return end && *end == '\0' && errno == 0;
}

}  // namespace

bool TextToBoolean(const std::string& text) {
    std::string t = Trim(text);
    if (strcasecmp(t.c_str(), "true") == 0) return true;
    if (strcasecmp(t.c_str(), "false") == 0) return false;
    double number;
    if (ParseFloat(t, number)) return number != 0.0;
    throw EConvertError("'" + text + "' is not a valid Boolean value");
}

int TextToInteger(const std::string& text) {
    long long v;
    if (!ParseWhole(text, v) || v < -2147483648LL || v > 2147483647LL)
        throw EConvertError("'" + text + "' is not a valid integer value");
    return static_cast<int>(v);
}

std::uint32_t TextToCardinal(const std::string& text) {
    long long v;
    if (!ParseWhole(text, v) || v < 0 || v > 4294967295LL)
        throw EConvertError("'" + text + "' is not a valid colour value");
    return static_cast<std::uint32_t>(v);
}

const char* BooleanToText(bool value) { return value ? "True" : "False"; }

pugi::xml_node TXMLNode::ChildElement(const char* name) {
    pugi::xml_node child = FNode.child(name);
    if (!child) child = FNode.append_child(name);
    return child;
}

std::string TXMLNode::ChildText(const char* name) { return ChildElement(name).text().get(); }

void TXMLNode::SetChildText(const char* name, const std::string& value) {
    pugi::xml_node child = ChildElement(name);
    // Replace the whole content, so no stray text or element is left beside the new value.
    while (child.first_child()) child.remove_child(child.first_child());
    if (!value.empty()) child.text().set(value.c_str());
}

std::string TXMLNode::PathOf(const char* name) const {
    std::string path = name;
    for (pugi::xml_node n = FNode; n && n.type() == pugi::node_element; n = n.parent())
        if (n.parent() && n.parent().type() == pugi::node_element) path = std::string(n.name()) + "/" + path;
    return path;
}

bool TXMLNode::ChildBoolean(const char* name) {
    try {
        return TextToBoolean(ChildText(name));
    } catch (const EConvertError& e) {
        throw EConvertError(PathOf(name) + ": " + e.what());
    }
}

bool TXMLNode::ChildBooleanOr(const char* name, bool whenEmpty) {
    if (ChildText(name).empty()) return whenEmpty;
    return ChildBoolean(name);
}

int TXMLNode::ChildInteger(const char* name) {
    try {
        return TextToInteger(ChildText(name));
    } catch (const EConvertError& e) {
        throw EConvertError(PathOf(name) + ": " + e.what());
    }
}

int TXMLNode::ChildIntegerOr(const char* name, int whenEmpty) {
    if (ChildText(name).empty()) return whenEmpty;
    return ChildInteger(name);
}

void TXMLNode::SetChildBoolean(const char* name, bool value) { SetChildText(name, BooleanToText(value)); }

void TXMLNode::SetChildInteger(const char* name, int value) { SetChildText(name, std::to_string(value)); }

std::string TXMLNode::AttributeText(const char* name) const { return FNode.attribute(name).value(); }

void TXMLNode::SetAttributeText(const char* name, const std::string& value) {
    pugi::xml_attribute a = FNode.attribute(name);
    if (!a) a = FNode.append_attribute(name);
    a.set_value(value.c_str());
}

std::string XmlFileText(const pugi::xml_node& node) {
    std::ostringstream body;
    node.root().print(body, "  ", pugi::format_indent | pugi::format_no_declaration, pugi::encoding_utf8);
    std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n";
    for (char c : body.str()) {
        if (c == '\n') text += "\r\n";
        else if (c != '\r') text += c;
    }
    return text;
}

void SaveXmlFile(const pugi::xml_node& node, const std::string& path) {
    platform::WriteFileAtomic(path, XmlFileText(node));
}

void LoadXmlFile(pugi::xml_document& document, const std::string& path, const char* documentElement) {
    std::string bytes;
    if (!platform::TryReadWholeFile(path, bytes))
        throw EXmlFileError("Cannot open \"" + path + "\": " + std::strerror(errno));
    pugi::xml_document loaded;
    pugi::xml_parse_result r =
        loaded.load_buffer(bytes.data(), bytes.size(), pugi::parse_default | pugi::parse_comments);
    if (!r)
        throw EXmlFileError("\"" + path + "\" is not a well-formed XML file: " + r.description() +
                            " at byte " + std::to_string(r.offset));
    if (std::strcmp(loaded.document_element().name(), documentElement) != 0)
        throw EXmlFileError("\"" + path + "\" has no <" + documentElement + "> document element");
    document.reset(loaded);
}

}  // namespace orvelle
