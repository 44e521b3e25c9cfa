#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "quillet/DateValue.h"
#include "quillet/iCalendarCollection.h"

namespace quillet::tool {

// Bad command-line arguments: usage is printed and the tool exits with status 2.
struct UsageError {
    std::string message;
};

// Options shared by the listing commands.
struct RangeOptions {
    DateValue from = 0;
    DateValue to = 0;
    bool tsv = false;
    std::vector<std::string> files;
};

// Reads --from/--to/--tsv and the file names; the range defaults to today and seven days on.
RangeOptions ParseRangeOptions(const std::vector<std::string>& args, bool withRange = true);

// Loads every file into one collection; a failure prints "quillet: FILE: DESCRIPTION (NUMBER)"
// and yields nothing.
std::optional<iCalendarCollection> LoadAll(const std::vector<std::string>& files);

// Host-local "YYYY-MM-DD" for an all-day value, "YYYY-MM-DDTHH:MM:SS" otherwise.
std::string FormatWhen(DateValue v, bool allDay);
// Tabs and line breaks become blanks so that a value stays in its TSV column.
std::string OneLine(const std::string& s);

int RunAgenda(const std::vector<std::string>& args);
int RunRoundtrip(const std::vector<std::string>& args);
int RunAlarms(const std::vector<std::string>& args);
int RunTodos(const std::vector<std::string>& args);
int RunStats(const std::vector<std::string>& args);

}  // namespace quillet::tool
