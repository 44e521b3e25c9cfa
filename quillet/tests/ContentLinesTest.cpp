#include <gtest/gtest.h>

#include "quillet/ContentLines.h"

using namespace quillet;

namespace {
std::vector<std::pair<std::string, std::string>> Pairs(const std::string& text) {
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& e : ParseContentLines(text)) out.emplace_back(e.Name, e.Value);
    return out;
}
using P = std::vector<std::pair<std::string, std::string>>;
}  // namespace

TEST(ContentLines, LineEndsAndUnfolding) {
    EXPECT_EQ(Pairs("A:1\r\nB:2\r\n"), (P{{"A", "1"}, {"B", "2"}}));
    EXPECT_EQ(Pairs("A:1\nB:2\n"), (P{{"A", "1"}, {"B", "2"}}));
    EXPECT_EQ(Pairs("A:1\rB:2\r"), (P{{"A", "1\rB:2\r"}})) << "CR alone does not end a line";
    EXPECT_EQ(Pairs("DESCRIPTION:ab\r\n cd\r\n  ef\r\n"), (P{{"DESCRIPTION", "abcd ef"}}));
    EXPECT_EQ(Pairs("DESCRIPTION:ab\r\n\tcd\r\n"), (P{{"DESCRIPTION", "abcd"}}));
    // A blank just before a fold is part of the value (writers fold at any octet).
    EXPECT_EQ(Pairs("SUMMARY:two \r\n words\r\n"), (P{{"SUMMARY", "two words"}}));
    EXPECT_EQ(Pairs("  SUMMARY:x  \r\n"), (P{{"SUMMARY", "x  "}})) << "a value keeps its trailing blanks";
    EXPECT_EQ(ParseContentLines("BEGIN:VEVENT \r\nUID:1\r\nEND:VEVENT  \r\n").size(), 1u);
    EXPECT_EQ(Pairs("no colon here\r\nA:1\r\n"), (P{{"A", "1"}}));
}

TEST(ContentLines, Components) {
    auto entries = ParseContentLines(
        "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nUID:1\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\nEND:VALARM\r\n"
        "END:VEVENT\r\nBEGIN:VTODO\r\nUID:2\r\n");
    ASSERT_EQ(entries.size(), 1u) << "an unterminated component at the end is dropped";
    EXPECT_TRUE(entries[0].IsComponent);
    EXPECT_EQ(entries[0].Name, "VEVENT");
    EXPECT_EQ(entries[0].Value, "UID:1\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\nEND:VALARM");
}

TEST(ContentLines, ParametersTravelBesideNameAndValue) {
    struct Case {
        const char* line;
        const char* name;
        const char* value;
        const char* params;
        const char* raw;
    } cases[] = {
        {"DTSTART;TZID=Europe/Berlin:20070101T100000", "DTSTART", "TZID=Europe/Berlin;DATE=20070101T100000",
         ";TZID=Europe/Berlin", "20070101T100000"},
        {"DTSTART;VALUE=DATE:20070101", "DTSTART", "20070101", ";VALUE=DATE", "20070101"},
        {"X-WR-CALNAME;VALUE=TEXT:Work", "X-WR-CALNAME", "Work", ";VALUE=TEXT", "Work"},
        {"ATTENDEE;CN=\"Ann Lee\";PARTSTAT=ACCEPTED:mailto:ann@example.com", "ATTENDEE",
         "mailto:ann@example.com", ";CN=\"Ann Lee\";PARTSTAT=ACCEPTED", "mailto:ann@example.com"},
        // A colon inside a quoted parameter value does not end the parameters.
        {"DESCRIPTION;ALTREP=\"cid:x\":See: here", "DESCRIPTION", "See: here", ";ALTREP=\"cid:x\"",
         "See: here"},
        {"URL:http://example.com/a;b", "URL", "http://example.com/a;b", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        auto e = ParseContentLines(c.line);
        ASSERT_EQ(e.size(), 1u) << c.line;
        EXPECT_EQ(e[0].Name, c.name) << c.line;
        EXPECT_EQ(e[0].Value, c.value) << c.line;
        EXPECT_EQ(e[0].Params, c.params) << c.line;
        EXPECT_EQ(e[0].RawValue, c.raw) << c.line;
        EXPECT_EQ(e[0].ToString(), c.line) << "written back as read";
    }
    EXPECT_EQ(FindParam(";CN=\"Ann Lee\";PARTSTAT=ACCEPTED", "cn"), "Ann Lee");
}

TEST(ContentLines, FoldingKeepsLinesWithin75OctetsAndCharactersWhole) {
    auto fold = [](const std::string& line) {
        std::string out;
        AppendFolded(out, line);
        return out;
    };
    std::string exact(75, 'x');
    EXPECT_EQ(fold(exact), exact + "\r\n");
    // 76 characters, first colon at position 12: a 12-character line and one continuation.
    std::string line = "DESCRIPTION:" + std::string(64, 'a');
    EXPECT_EQ(fold(line), "DESCRIPTION:\r\n " + std::string(64, 'a') + "\r\n");
    std::string hundred(100, 'b');
    EXPECT_EQ(fold("DESCRIPTION:" + hundred),
              "DESCRIPTION:\r\n " + hundred.substr(0, 74) + "\r\n " + hundred.substr(74) + "\r\n");

    std::string emoji;
    for (int i = 0; i < 40; ++i) emoji += "\xF0\x9F\x98\x80";  // 160 octets
    std::string folded = fold("SUMMARY:" + emoji);
    std::string unfolded;
    size_t pos = 0;
    while (pos < folded.size()) {
        size_t end = folded.find("\r\n", pos);
        std::string phys = folded.substr(pos, end - pos);
        EXPECT_LE(phys.size(), 75u);
        // Every physical line holds whole characters.
        std::string body = pos == 0 ? phys : phys.substr(1);
        if (pos != 0) {
            EXPECT_EQ(body.size() % 4, 0u) << phys;
        }
        unfolded += body;
        pos = end + 2;
    }
    EXPECT_EQ(unfolded, "SUMMARY:" + emoji);

    // A long parameter list before the colon is folded too.
    std::string longHead = "ATTENDEE;CN=\"" + std::string(80, 'n') + "\":mailto:a@b";
    std::string out = fold(longHead);
    for (size_t p = 0, e; (e = out.find("\r\n", p)) != std::string::npos; p = e + 2)
        EXPECT_LE(e - p, 75u);
    auto back = ParseContentLines(out);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].ToString(), longHead);
}

TEST(ContentLines, KeywordLists) {
    EXPECT_EQ(IndexInList("TENTATIVE|CONFIRMED|CANCELLED", "CANCELLED"), 2);
    EXPECT_EQ(IndexInList("TENTATIVE|CONFIRMED|CANCELLED", "cancelled"), -1);
    EXPECT_EQ(ItemInList("DF|SU|MO|TU|WE|TH|FR|SA", 2), "MO");
}
