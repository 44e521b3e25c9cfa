#include "orvelle/core/CalendarHelper.h"

#include "orvelle/core/QuilletManager.h"
#include "quillet/HostZone.h"

namespace orvelle {

using namespace quillet;

TCalendarHelper::TCalendarHelper(bool startFromSunday, TClock now)
    : FNow(now ? std::move(now) : TClock(&NowLocal)), FStartFromSunday(startFromSunday) {
    GoToday();
}

void TCalendarHelper::FillGrid() {
    for (auto& row : FGrid) row.fill(0);
    const int weekday = WeekdayOfDays(DaysFromCivil(FYear, FMonth, 1));  // 0 = Sunday
    int cell = FStartFromSunday ? weekday : (weekday + 6) % 7;
    const int last = DaysInMonth(FYear, FMonth);
    for (int day = 1; day <= last && cell < 42; ++day, ++cell) FGrid[cell / 7][cell % 7] = day;
}

void TCalendarHelper::SetMonth(DateValue date) {
    DateFields f = ValueToFields(date);
    FYear = f.year;
    FMonth = f.month;
    FillGrid();
}

void TCalendarHelper::NextMonth() {
    if (++FMonth > 12) { FMonth = 1; ++FYear; }
    FillGrid();
}

void TCalendarHelper::PrevMonth() {
    if (--FMonth < 1) { FMonth = 12; --FYear; }
    FillGrid();
}

void TCalendarHelper::NextYear() { ++FYear; FillGrid(); }

void TCalendarHelper::PrevYear() {
    if (FYear > 1) --FYear;
    FillGrid();
}

void TCalendarHelper::GoToday() { SetMonth(FNow()); }

bool TCalendarHelper::IsCurrentMonth() const {
    DateFields f = ValueToFields(FNow());
    return f.year == FYear && f.month == FMonth;
}

bool TCalendarHelper::FindDay(int day, int& row, int& column) const {
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 7; ++c)
            if (FGrid[r][c] == day && day != 0) { row = r; column = c + 1; return true; }
    return false;
}

void TCalendarHelper::TodayCell(int& row, int& column) const {
    row = column = -1;
    if (!IsCurrentMonth()) return;
    int c = 0;
    if (FindDay(ValueToFields(FNow()).day, row, c)) column = c - 1;
}

DateValue TCalendarHelper::CellDate(int row, int column) const {
    if (row < 0 || row > 5 || column < 1 || column > 7) return 0;
    int day = FGrid[row][column - 1];
    return day == 0 ? 0 : static_cast<DateValue>(DaysFromCivil(FYear, FMonth, day));
}

std::array<std::string, 7> TCalendarHelper::DayNames() const {
    std::array<std::string, 7> out;
    for (int i = 0; i < 7; ++i) out[i] = DayNamesList[FStartFromSunday ? i : (i + 1) % 7];
    return out;
}

std::array<std::string, 7> TCalendarHelper::DayInitials() const {
    auto names = DayNames();
    for (auto& n : names) n = n.substr(0, 1);
    return names;
}

}  // namespace orvelle
