#include "quillet/ContentLines.h"

#include <algorithm>

namespace quillet {

namespace {

constexpr size_t kMaxLineOctets = 75;

std::string_view TrimLeft(std::string_view s) {
    size_t b = 0;
    while (b < s.size() && s[b] == ' ') ++b;
    return s.substr(b);
}

std::string_view TrimRight(std::string_view s) {
    size_t e = s.size();
    while (e > 0 && s[e - 1] == ' ') --e;
    return s.substr(0, e);
}

bool IsContinuation(std::string_view part) {
    return !part.empty() && (part[0] == ' ' || part[0] == '\t');
}

// Position of the colon that ends the name and parameters; a colon inside a quoted parameter
// value (ALTREP="cid:x") does not count.
size_t FindValueColon(std::string_view line) {
    bool quoted = false;
    bool inParams = false;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c == '"' && inParams) {
            quoted = !quoted;
        } else if (!quoted) {
            if (c == ':') return i;
            if (c == ';') inParams = true;
        }
    }
    return std::string_view::npos;
}

void EmitProperty(std::vector<PropertyEntry>& out, std::string_view line) {
    size_t colon = FindValueColon(line);
    if (colon == std::string_view::npos) return;
    std::string_view head = line.substr(0, colon);
    std::string_view value = line.substr(colon + 1);
    PropertyEntry& e = out.emplace_back();
    size_t semi = head.find(';');
    if (semi == std::string_view::npos) {
        e.Name.assign(head);
        e.Value.assign(value);
        return;
    }
    e.Name.assign(head.substr(0, semi));
    e.Params.assign(head.substr(semi));
    e.RawValue.assign(value);
    if (head.find("TZID") != std::string_view::npos) {
        // Zoned values travel as "TZID=…;DATE=…" so that a date-time can be parsed from the value alone.
        std::string_view rest = head.substr(semi + 1);
        std::string_view first = rest.substr(0, rest.find(';'));
        e.Value.reserve(first.size() + 6 + value.size());
        e.Value.assign(first);
        e.Value += ";DATE=";
        e.Value += value;
    } else {
        e.Value.assign(value);
    }
}

}  // namespace

std::string PropertyEntry::ToString() const {
    if (IsComponent) {
        std::string s = "BEGIN:" + Name;
        if (!Value.empty()) {
            s += kCRLF;
            s += Value;
        }
        s += kCRLF;
        s += "END:" + Name;
        return s;
    }
    if (!Params.empty()) return Name + Params + ":" + RawValue;
    return Name + ":" + Value;
}

std::vector<PropertyEntry> ParseContentLines(std::string_view text) {
    std::vector<std::string_view> parts;
    parts.reserve(text.size() / 40 + 4);
    std::string_view sep = kCRLF;
    if (text.find(kCRLF) == std::string_view::npos) sep = "\n";
    for (size_t pos = 0;;) {
        size_t next = text.find(sep, pos);
        if (next == std::string_view::npos) {
            parts.push_back(text.substr(pos));
            break;
        }
        parts.push_back(text.substr(pos, next - pos));
        pos = next + sep.size();
    }

    std::vector<PropertyEntry> out;
    out.reserve(std::min<size_t>(parts.size(), 256));
    std::string component;  // name of the open component, empty when none
    std::string collected;
    std::string folded;  // a folded line joined again; unfolded lines are read where they lie
    for (size_t i = 0; i < parts.size(); ++i) {
        // Trailing blanks belong to a text value (and a fold may fall right after one), so they
        // are ignored only where a line's structure is read.
        std::string_view line = TrimLeft(parts[i]);
        if (i + 1 < parts.size() && IsContinuation(parts[i + 1])) {
            folded.assign(line);
            while (i + 1 < parts.size() && IsContinuation(parts[i + 1])) {
                folded.append(parts[i + 1].substr(1));
                ++i;
            }
            line = folded;
        }
        std::string_view bare = TrimRight(line);
        if (bare.empty() || bare == "BEGIN:VCALENDAR" || bare == "END:VCALENDAR") continue;
        if (!component.empty()) {
            if (bare.size() == component.size() + 4 && bare.compare(0, 4, "END:") == 0 &&
                bare.compare(4, std::string::npos, component) == 0) {
                PropertyEntry& e = out.emplace_back();
                e.Name = std::move(component);
                e.Value = std::move(collected);
                e.IsComponent = true;
                component.clear();
                collected.clear();
            } else {
                if (!collected.empty()) collected += kCRLF;
                collected += line;
            }
        } else if (bare.compare(0, 6, "BEGIN:") == 0) {
            component = std::string(bare.substr(6));
            collected.clear();
            if (component.empty()) component = " ";  // never matches, so it is dropped at the end
        } else {
            EmitProperty(out, line);
        }
    }
    return out;
}

std::vector<std::pair<std::string, std::string>> ParseParams(std::string_view params, char separator) {
    std::vector<std::pair<std::string, std::string>> out;
    size_t i = 0;
    while (i <= params.size()) {
        size_t start = i;
        bool quoted = false;
        while (i < params.size() && (quoted || params[i] != separator)) {
            if (params[i] == '"') quoted = !quoted;
            ++i;
        }
        std::string_view item = params.substr(start, i - start);
        if (!item.empty()) {
            size_t eq = item.find('=');
            if (eq == std::string_view::npos)
                out.emplace_back(std::string(item), std::string());
            else
                out.emplace_back(std::string(item.substr(0, eq)), std::string(item.substr(eq + 1)));
        }
        ++i;
    }
    return out;
}

std::string FindParam(std::string_view params, std::string_view name) {
    for (auto& [n, v] : ParseParams(params)) {
        if (EqualsIgnoreCase(n, name)) {
            if (v.size() >= 2 && v.front() == '"' && v.back() == '"') return v.substr(1, v.size() - 2);
            return v;
        }
    }
    return {};
}

std::string StripParams(std::string_view params, std::initializer_list<std::string_view> names) {
    std::string out;
    for (auto& [n, v] : ParseParams(params)) {
        bool drop = std::any_of(names.begin(), names.end(),
                                [&](std::string_view x) { return EqualsIgnoreCase(n, x); });
        if (drop) continue;
        out += ';';
        out += n;
        if (!v.empty()) {
            out += '=';
            out += v;
        }
    }
    return out;
}

int IndexInList(std::string_view list, std::string_view keyword) {
    int index = 0;
    size_t pos = 0;
    while (true) {
        size_t bar = list.find('|', pos);
        std::string_view item = list.substr(pos, bar == std::string_view::npos ? bar : bar - pos);
        if (item == keyword) return index;
        if (bar == std::string_view::npos) return -1;
        pos = bar + 1;
        ++index;
    }
}

std::string ItemInList(std::string_view list, int index) {
    size_t pos = 0;
    for (int i = 0; i < index; ++i) {
        pos = list.find('|', pos);
        if (pos == std::string_view::npos) return {};
        ++pos;
    }
    size_t bar = list.find('|', pos);
    return std::string(list.substr(pos, bar == std::string_view::npos ? bar : bar - pos));
}

namespace {
// Moves a cut position back so that it never falls inside a multi-byte character.
size_t CharBoundary(std::string_view s, size_t pos, size_t min) {
    while (pos > min && pos < s.size() && (static_cast<unsigned char>(s[pos]) & 0xC0) == 0x80) --pos;
    return pos;
}
}  // namespace

void AppendFolded(std::string& out, std::string_view line) {
    if (line.size() <= kMaxLineOctets) {
        out.append(line);
        out.append(kCRLF);
        return;
    }
    // First physical line: up to and including the first colon, then chunks of 74 after a blank.
    size_t colon = line.find(':');
    size_t head = colon == std::string_view::npos ? kMaxLineOctets : colon + 1;
    if (head > kMaxLineOctets) head = CharBoundary(line, kMaxLineOctets, 1);
    out.append(line.substr(0, head));
    out.append(kCRLF);
    size_t pos = head;
    while (pos < line.size()) {
        size_t end = std::min(line.size(), pos + kMaxLineOctets - 1);
        if (end < line.size()) end = CharBoundary(line, end, pos + 1);
        out.push_back(' ');
        out.append(line.substr(pos, end - pos));
        out.append(kCRLF);
        pos = end;
    }
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
        if (x != y) return false;
    }
    return true;
}

std::string ToUpper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return out;
}

}  // namespace quillet
