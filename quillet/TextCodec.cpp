#include "quillet/TextCodec.h"

#include <array>

namespace quillet {

namespace {
constexpr std::array<bool, 256> kEscaped = [] {
    std::array<bool, 256> t{};
    for (unsigned char c : {'\\', ',', ';', '\r', '\n'}) t[c] = true;
    return t;
}();
}  // namespace

std::string EscapeText(std::string_view s) {
    std::string out;
    out.reserve(s.size() + 8);
    // Plain runs are copied whole; only the few special characters are looked at one by one.
    for (size_t i = 0; i < s.size();) {
        size_t special = i;
        while (special < s.size() && !kEscaped[static_cast<unsigned char>(s[special])]) ++special;
        out.append(s.substr(i, special - i));
        if (special == s.size()) break;
        i = special + 1;
        switch (s[special]) {
            case '\\': out += "\\\\"; break;
            case ',': out += "\\,"; break;
            case ';': out += "\\;"; break;
            case '\r':
                // CRLF, and a lone CR or LF too, become \n: a raw break would end the content line.
                if (i < s.size() && s[i] == '\n') ++i;
                out += "\\n";
                break;
            default: out += "\\n"; break;  // '\n'
        }
    }
    return out;
}

std::string UnescapeText(std::string_view s) {
    if (s.find('\\') == std::string_view::npos) return std::string(s);
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0;;) {
        const size_t j = s.find('\\', i);
        if (j == std::string_view::npos) {
            out.append(s.substr(i));
            break;
        }
        out.append(s.substr(i, j - i));
        if (j + 1 >= s.size()) {
            out += '\\';
            break;
        }
        i = j + 2;
        switch (s[j + 1]) {
            case '\\': out += '\\'; break;
            case ',': out += ','; break;
            case ';': out += ';'; break;
            case 'n':
            case 'N': out += "\r\n"; break;
            case 'r':
                out += "\r\n";
                if (j + 3 < s.size() && s[j + 2] == '\\' && s[j + 3] == 'n') i = j + 4;
                break;
            default: out += '\\', i = j + 1;  // an unknown escape stays as written
        }
    }
    return out;
}

namespace {

void AppendCodePoint(std::string& out, unsigned cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

const char kReplacement[] = "\xEF\xBF\xBD";

// Decodes one sequence at i; returns its length (0 when malformed) and the code point.
// Surrogate code points are returned as such so that the caller can pair them.
size_t DecodeOne(const std::string& s, size_t i, unsigned& cp) {
    auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned c = b(i);
    size_t len;
    unsigned min;
    if (c < 0x80) {
        cp = c;
        return 1;
    } else if ((c & 0xE0) == 0xC0) {
        len = 2, cp = c & 0x1F, min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        len = 3, cp = c & 0x0F, min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        len = 4, cp = c & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > s.size()) return 0;
    for (size_t k = 1; k < len; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF) return 0;
    return len;
}

}  // namespace

std::string DecodeUtf8(std::string bytes) {
    size_t start = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    // Fast path: plain valid UTF-8 without surrogates is returned as it is.
    bool clean = true;
    for (size_t i = start; i < bytes.size();) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        unsigned cp;
        size_t n = DecodeOne(bytes, i, cp);
        if (n == 0 || (cp >= 0xD800 && cp <= 0xDFFF)) {
            clean = false;
            break;
        }
        i += n;
    }
    if (clean) return start ? bytes.substr(start) : bytes;

    std::string out;
    out.reserve(bytes.size());
    for (size_t i = start; i < bytes.size();) {
        unsigned cp;
        size_t n = DecodeOne(bytes, i, cp);
        if (n == 0) {
            // One replacement for a lead byte and the continuation bytes it did get.
            out += kReplacement;
            unsigned char lead = static_cast<unsigned char>(bytes[i]);
            size_t want = lead >= 0xF0 && lead < 0xF8 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
            size_t k = 1;
            while (k < want && i + k < bytes.size() &&
                   (static_cast<unsigned char>(bytes[i + k]) & 0xC0) == 0x80)
                ++k;
            i += k;
            continue;
        }
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            unsigned lo;
            size_t m = i + n < bytes.size() ? DecodeOne(bytes, i + n, lo) : 0;
            if (m != 0 && lo >= 0xDC00 && lo <= 0xDFFF) {
                AppendCodePoint(out, 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00));
                i += n + m;
                continue;
            }
            out += kReplacement;
        } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            out += kReplacement;
        } else {
            AppendCodePoint(out, cp);
        }
        i += n;
    }
    return out;
}

}  // namespace quillet
