#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "quillet/Collections.h"
#include "quillet/PropertyEntry.h"

namespace quillet {

// Helpers that components share for reading and writing their typed properties.

// The value text of an entry exactly as it stood after the colon.
inline const std::string& RawOf(const PropertyEntry& e) { return e.Params.empty() ? e.Value : e.RawValue; }

int ParseInteger(std::string_view s);

std::shared_ptr<Text> ReadText(const PropertyEntry& e);
void ReadDate(Date_Time& target, const PropertyEntry& e);
// Every value of a comma-separated EXDATE / RDATE line.
void ReadDateList(Date_TimeCollection& target, const PropertyEntry& e);
// Every value of a CATEGORIES / RESOURCES line: a comma not escaped parts two values, which are
// kept apart so that writing them back (one escaped value a line) keeps their meaning.
void ReadTextList(TextCollection& target, const PropertyEntry& e);

// Line writers; each appends nothing when the value is empty or unset.
void WriteText(std::vector<std::string>& lines, std::string_view name, const Text& t);
void WriteDate(std::vector<std::string>& lines, std::string_view name, const Date_Time& d);
void WriteRaw(std::vector<std::string>& lines, std::string_view name, const std::string& params,
              const std::string& value);
void WriteTexts(std::vector<std::string>& lines, std::string_view name, const TextCollection& c);
void WriteDates(std::vector<std::string>& lines, std::string_view name, const Date_TimeCollection& c);
void WriteRules(std::vector<std::string>& lines, std::string_view name, const RecurCollection& c);
void WriteXProps(std::vector<std::string>& lines, const XPropList& list);

std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace quillet
