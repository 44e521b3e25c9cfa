#pragma once
#include <string>
#include <string_view>

namespace quillet {

// TEXT value escaping: backslash, comma, semicolon and line breaks.
std::string EscapeText(std::string_view s);
std::string UnescapeText(std::string_view s);

// Turns file bytes into valid UTF-8: drops a leading byte-order mark, joins surrogate pairs that
// older writers encoded as two three-byte sequences, and replaces malformed bytes with U+FFFD.
std::string DecodeUtf8(std::string bytes);

}  // namespace quillet
