#pragma once
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "quillet/PropertyEntry.h"

namespace quillet {

inline constexpr std::string_view kCRLF = "\r\n";

// Cuts text into content lines: unfolds, collects each BEGIN … END block into one entry and
// splits each property line into name, parameters and value.
std::vector<PropertyEntry> ParseContentLines(std::string_view text);

// "A=1;B=\"x;y\"" style lists: split at the separator outside double quotes, name before '='.
std::vector<std::pair<std::string, std::string>> ParseParams(std::string_view params,
                                                             char separator = ';');

// Value of one parameter (quotes removed, name compared ignoring case); empty when absent.
std::string FindParam(std::string_view params, std::string_view name);

// Params with the named parameters removed (used when a typed value models some of them).
std::string StripParams(std::string_view params, std::initializer_list<std::string_view> names);

int IndexInList(std::string_view list, std::string_view keyword);
std::string ItemInList(std::string_view list, int index);

// Appends one logical line folded to at most 75 octets per physical line, each ended by CRLF.
void AppendFolded(std::string& out, std::string_view line);

bool EqualsIgnoreCase(std::string_view a, std::string_view b);
std::string ToUpper(std::string_view s);

}  // namespace quillet
