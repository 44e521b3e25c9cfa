#include "quillet/PropertyText.h"

#include <charconv>

#include "quillet/ContentLines.h"
#include "quillet/LibraryError.h"

namespace quillet {

int ParseInteger(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    int v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || p != s.data() + s.size())
        throw LibraryError(kErrFormat, "Quillet", "Invalid number");
    return v;
}

std::shared_ptr<Text> ReadText(const PropertyEntry& e) {
    auto t = std::make_shared<Text>();
    t->TryParse(RawOf(e));
    t->SetParams(e.Params);
    return t;
}

void ReadDate(Date_Time& target, const PropertyEntry& e) {
    if (e.Params.empty()) target.TryParse(e.Value);
    else target.ParseProperty(e.Params, e.RawValue);
}

void ReadDateList(Date_TimeCollection& target, const PropertyEntry& e) {
    std::string_view raw = RawOf(e);
    size_t pos = 0;
    while (pos <= raw.size()) {
        size_t comma = raw.find(',', pos);
        std::string_view one = raw.substr(pos, comma == std::string_view::npos ? comma : comma - pos);
        if (!one.empty()) {
            auto d = std::make_shared<Date_Time>();
            d->ParseProperty(e.Params, one);
            target.Add(std::move(d));
        }
        if (comma == std::string_view::npos) break;
        pos = comma + 1;
    }
}

void ReadTextList(TextCollection& target, const PropertyEntry& e) {
    std::string_view raw = RawOf(e);
    size_t start = 0;
    for (size_t i = 0; i <= raw.size(); ++i) {
        if (i < raw.size() && raw[i] == '\\') {
            ++i;  // the escaped character, a comma included, belongs to the value
            continue;
        }
        if (i < raw.size() && raw[i] != ',') continue;
        auto t = std::make_shared<Text>();
        t->TryParse(raw.substr(start, i - start));
        t->SetParams(e.Params);
        if (!t->Value().empty() || raw.empty()) target.Add(std::move(t));
        start = i + 1;
    }
}

void WriteText(std::vector<std::string>& lines, std::string_view name, const Text& t) {
    if (t.Value().empty()) return;
    lines.push_back(std::string(name) + t.Params() + ":" + t.ToString());
}

void WriteDate(std::vector<std::string>& lines, std::string_view name, const Date_Time& d) {
    if (!d.IsSet()) return;
    lines.push_back(std::string(name) + d.ToString());
}

void WriteRaw(std::vector<std::string>& lines, std::string_view name, const std::string& params,
              const std::string& value) {
    if (value.empty()) return;
    lines.push_back(std::string(name) + params + ":" + value);
}

void WriteTexts(std::vector<std::string>& lines, std::string_view name, const TextCollection& c) {
    for (const auto& t : c) lines.push_back(std::string(name) + t->Params() + ":" + t->ToString());
}

void WriteDates(std::vector<std::string>& lines, std::string_view name, const Date_TimeCollection& c) {
    for (const auto& d : c) lines.push_back(std::string(name) + d->ToString());
}

void WriteRules(std::vector<std::string>& lines, std::string_view name, const RecurCollection& c) {
    for (const auto& r : c) lines.push_back(std::string(name) + r->Params() + ":" + r->ToString());
}

void WriteXProps(std::vector<std::string>& lines, const XPropList& list) {
    for (const auto& e : list) lines.push_back(e->ToString());
}

std::string JoinLines(const std::vector<std::string>& lines) {
    size_t n = 0;
    for (const auto& l : lines) n += l.size() + 2;
    std::string out;
    out.reserve(n);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) out += kCRLF;
        out += lines[i];
    }
    return out;
}

}  // namespace quillet
