#include <gtest/gtest.h>

#include "quillet/iCalendar.h"

TEST(Smoke, LoadsEvent) {
    auto cal = quillet::iCalendar::Create();
    cal->TryParse("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:x\r\nDTSTART:20070101T100000Z\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    ASSERT_EQ(cal->Events().Count(), 1);
}
