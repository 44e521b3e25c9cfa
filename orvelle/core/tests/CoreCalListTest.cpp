#include "CoreTestSupport.h"

#include <set>

using namespace coretest;
using orvelle::CalendarList;
using orvelle::EConvertError;
using orvelle::TXMLCalType;

class CoreCalList : public CoreUser {
protected:
    void WriteList(const std::string& cals) {
        WriteFile(Data("callist.xml"), "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<CalList>" + cals + "</CalList>");
    }
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (int i = 0; i < CalendarList().Count(); ++i) names.push_back(CalendarList().Cal(i).Name());
        return names;
    }
};

TEST_F(CoreCalList, AttributesAndTheirDefaults) {
    WriteList("<Cal Name=\"Work\" LocalPath=\"/home/u/work.ics\" GoogleName=\"abc@group\" IsActive=\"true\" "
              "Link=\"l\" Account=\"u@example.org\" Password=\"p\" CalendarType=\"GooglePrivate\" IsReadOnly=\"1\">"
              "<CalendarColor>4294967295</CalendarColor></Cal>"
              "<Cal IsActive=\"False\"/>"
              "<Cal IsActive=\"\" IsReadOnly=\"maybe\"><CalendarColor>blue</CalendarColor></Cal>");
    Tools();
    orvelle::LoadCalendarList();
    ASSERT_EQ(CalendarList().Count(), 3);
    TXMLCalType work = CalendarList().Cal(0);
    EXPECT_EQ(work.Name(), "Work");
    EXPECT_EQ(work.LocalPath(), "/home/u/work.ics");
    EXPECT_EQ(work.GoogleName(), "abc@group");
    EXPECT_TRUE(work.IsActive());
    EXPECT_EQ(work.Link(), "l");
    EXPECT_EQ(work.Account(), "u@example.org");
    EXPECT_EQ(work.Password(), "p");
    EXPECT_EQ(work.CalendarType(), "GooglePrivate");
    EXPECT_TRUE(work.IsReadOnly());
    EXPECT_EQ(work.CalendarColor(), 4294967295u);

    TXMLCalType bare = CalendarList().Cal(1);
    EXPECT_EQ(bare.Name(), "");
    EXPECT_EQ(bare.CalendarType(), "");
    EXPECT_FALSE(bare.IsActive());
    EXPECT_FALSE(bare.IsReadOnly());  // writable without the attribute
    EXPECT_EQ(bare.CalendarColor(), 16777215u);  // white without the element, which is now created
    EXPECT_TRUE(bare.Node().child("CalendarColor"));

    TXMLCalType broken = CalendarList().Cal(2);
    EXPECT_THROW(broken.IsActive(), EConvertError);
    EXPECT_THROW(broken.IsReadOnly(), EConvertError);
    EXPECT_THROW(broken.CalendarColor(), EConvertError);
}

TEST_F(CoreCalList, WritesTextFormsAndKeepsOtherTypes) {
    WriteList("");
    Tools();
    orvelle::LoadCalendarList();
    TXMLCalType c = CalendarList().Add();
    c.SetName("Team Google stuff");
    c.SetCalendarType("MyGoogleThing");
    c.SetIsActive(true);
    c.SetIsReadOnly(false);
    c.SetCalendarColor(0x2929A3u);
    orvelle::SaveCalendarList();
    std::string saved = ReadFile(Data("callist.xml"));
    EXPECT_NE(saved.find("<Cal Name=\"Team Google stuff\" CalendarType=\"MyGoogleThing\" IsActive=\"True\" "
                         "IsReadOnly=\"False\">\r\n    <CalendarColor>" +
                             std::to_string(0x2929A3u) + "</CalendarColor>\r\n  </Cal>"),
              std::string::npos)
        << saved;
    orvelle::LoadCalendarList();
    EXPECT_EQ(CalendarList().Cal(0).CalendarType(), "MyGoogleThing");
}

TEST_F(CoreCalList, ListOperations) {
    WriteList("<Cal Name=\"a\"/><Other/><Cal Name=\"b\"/>");
    Tools();
    orvelle::LoadCalendarList();
    EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b"}));
    CalendarList().Insert(0).SetName("first");
    CalendarList().Insert(3).SetName("last");
    CalendarList().Insert(2).SetName("middle");
    EXPECT_EQ(Names(), (std::vector<std::string>{"first", "a", "middle", "b", "last"}));
    EXPECT_THROW(CalendarList().Insert(7), std::out_of_range);
    EXPECT_THROW(CalendarList().Cal(5), std::out_of_range);
    EXPECT_THROW(CalendarList().Cal(-1), std::out_of_range);
    CalendarList().Delete(1);
    EXPECT_EQ(Names(), (std::vector<std::string>{"first", "middle", "b", "last"}));
    TXMLCalType b = CalendarList().Cal(2);
    EXPECT_EQ(CalendarList().Remove(b), 2);
    EXPECT_EQ(Names(), (std::vector<std::string>{"first", "middle", "last"}));
    EXPECT_THROW(CalendarList().Delete(3), std::out_of_range);
    CalendarList().Clear();
    EXPECT_EQ(CalendarList().Count(), 0);
    EXPECT_TRUE(CalendarList().Node().child("Other"));  // only calendars are removed
}

TEST_F(CoreCalList, LoadFailures) {
    Tools();
    EXPECT_THROW(orvelle::LoadCalendarList(), orvelle::EXmlFileError);
    EXPECT_THROW(CalendarList(), std::logic_error);
    WriteFile(Data("callist.xml"), "<CalList><Cal></CalList>");
    EXPECT_THROW(orvelle::LoadCalendarList(), orvelle::EXmlFileError);
    WriteList("");
    orvelle::LoadCalendarList();
    EXPECT_EQ(CalendarList().Count(), 0);
}

TEST_F(CoreCalList, FirstRunAdaptsOnlyTheTwoDefaultEntries) {
    Install("Setting.xml");
    WriteList("<Cal Name=\"Default\" LocalPath=\"x\"/><Cal Name=\"US Holidays\"/><Cal Name=\"default\" "
              "LocalPath=\"keep.ics\"/><Cal Name=\"Default \" LocalPath=\"keep2.ics\"/>");
    Tools();
    orvelle::LoadSettings();
    EXPECT_TRUE(orvelle::LoadOrPrepareCalendarList());

    orvelle::LoadCalendarList();  // what was saved, not only what is in memory
    EXPECT_EQ(CalendarList().Cal(0).LocalPath(), Docs("default.ics"));
    EXPECT_EQ(CalendarList().Cal(1).LocalPath(), Docs("US Holidays.ics"));
    EXPECT_EQ(CalendarList().Cal(2).LocalPath(), "keep.ics");
    EXPECT_EQ(CalendarList().Cal(3).LocalPath(), "keep2.ics");

    EXPECT_TRUE(Exists(Data("install.ini")));
    EXPECT_EQ(ReadFile(Data("install.ini")), "");
    orvelle::LoadSettings();
    EXPECT_EQ(orvelle::Settings().GeneralSetting().ReminderWav(), Share("media/notify.wav"));
    EXPECT_TRUE(Exists(orvelle::Settings().GeneralSetting().ReminderWav()));
    EXPECT_EQ(ReadFile(Docs("default.ics")), ReadFile(Share("default.ics")));
    EXPECT_EQ(ReadFile(Docs("US Holidays.ics")), ReadFile(Share("US Holidays.ics")));

    const auto& lines = orvelle::GUITools->LogLines();
    EXPECT_NE(lines[1].find("   Calender setting file does not exist, begin to create a new one"), std::string::npos);
    EXPECT_NE(lines.back().find("   Finish to create calendar setting"), std::string::npos);

    // With the mark present the list is only loaded.
    CalendarList().Cal(0).SetLocalPath("/elsewhere.ics");
    orvelle::SaveCalendarList();
    EXPECT_FALSE(orvelle::LoadOrPrepareCalendarList());
    EXPECT_EQ(CalendarList().Cal(0).LocalPath(), "/elsewhere.ics");

    // Removing the mark runs the step again: the two paths are reset.
    std::filesystem::remove(Data("install.ini"));
    EXPECT_TRUE(orvelle::LoadOrPrepareCalendarList());
    EXPECT_EQ(CalendarList().Cal(0).LocalPath(), Docs("default.ics"));
}

TEST_F(CoreCalList, FirstRunNeverReplacesTheUsersCalendars) {
    Install("Setting.xml");
    Install("callist.xml");
    WriteFile(Docs("default.ics"), "my own events");
    Tools();
    orvelle::LoadSettings();
    orvelle::PrepareFirstRun();
    EXPECT_EQ(ReadFile(Docs("default.ics")), "my own events");
    EXPECT_EQ(ReadFile(Docs("US Holidays.ics")), ReadFile(Share("US Holidays.ics")));
    ASSERT_EQ(CalendarList().Count(), 2);
    EXPECT_EQ(CalendarList().Cal(0).Name(), "Default");
    EXPECT_EQ(CalendarList().Cal(1).Name(), "US Holidays");
}

TEST_F(CoreCalList, FailedFirstRunIsTakenAgainNextTime) {
    Install("Setting.xml");  // but no callist.xml
    Tools();
    orvelle::LoadSettings();
    EXPECT_THROW(orvelle::LoadOrPrepareCalendarList(), orvelle::EXmlFileError);
    EXPECT_FALSE(Exists(Data("install.ini")));
    Install("callist.xml");
    EXPECT_TRUE(orvelle::LoadOrPrepareCalendarList());
    EXPECT_TRUE(Exists(Data("install.ini")));
}

TEST_F(CoreCalList, InstalledListColoursAndCategories) {
    Install("callist.xml");
    Install("color.ini");
    Install("category.ini");
    Tools();
    orvelle::LoadCalendarList();
    ASSERT_EQ(Names(), (std::vector<std::string>{"Default", "US Holidays"}));
    for (int i = 0; i < 2; ++i) {
        TXMLCalType c = CalendarList().Cal(i);
        EXPECT_TRUE(c.IsActive());
        EXPECT_FALSE(c.IsReadOnly());
        EXPECT_EQ(c.CalendarType(), "Local");
        EXPECT_NE(c.CalendarColor(), 16777215u);
    }
    orvelle::SaveCalendarList();
    EXPECT_EQ(ReadFile(Data("callist.xml")), ReadFile(Share("callist.xml")));

    auto colors = orvelle::LoadColorList();
    ASSERT_GE(colors.size(), 20u);
    std::set<std::uint32_t> distinct;
    for (const auto& c : colors) {
        ASSERT_EQ(c.size(), 7u) << c;
        distinct.insert(orvelle::ColorTextToValue(c));
    }
    EXPECT_EQ(distinct.size(), colors.size());
    auto categories = orvelle::LoadCategoryList();
    EXPECT_GE(categories.size(), 4u);
    for (const auto& c : categories) EXPECT_EQ(c.find('\r'), std::string::npos);
}

TEST_F(CoreCalList, TextListsAndColourTexts) {
    WriteFile(Data("category.ini"), "\xEF\xBB\xBFWork\r\n\r\nHome\nSport\n");
    Tools();
    EXPECT_EQ(orvelle::LoadCategoryList(), (std::vector<std::string>{"Work", "Home", "Sport"}));
    EXPECT_TRUE(orvelle::LoadColorList().empty());
    EXPECT_EQ(orvelle::ColorTextToValue("$A32929"), 0xA32929u);
    EXPECT_EQ(orvelle::ColorTextToValue("$ff"), 0xFFu);
    for (const char* bad : {"", "$", "#A32929", "$GG0000", "$123456789"})
        EXPECT_THROW(orvelle::ColorTextToValue(bad), EConvertError) << bad;
}
