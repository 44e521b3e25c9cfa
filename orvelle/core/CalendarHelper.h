#pragma once
// The month grid: which day number stands in which cell.
#include "quillet/DateValue.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace orvelle {

class TCalendarHelper {
public:
    using TClock = std::function<quillet::DateValue()>;  // host-local now
    explicit TCalendarHelper(bool startFromSunday = true, TClock now = {});

    int Year() const { return FYear; }
    int Month() const { return FMonth; }
    bool StartFromSunday() const { return FStartFromSunday; }
    void SetStartFromSunday(bool v) { FStartFromSunday = v; FillGrid(); }
    // Grid()[row][column 0-6]; 0 for an empty cell.
    const std::array<std::array<int, 7>, 6>& Grid() const { return FGrid; }
    std::array<quillet::DateValue, 7> WeekDates{};

    void FillGrid();
    void SetMonth(quillet::DateValue date);
    void NextMonth();
    void PrevMonth();
    void NextYear();
    void PrevYear();
    void GoToday();
    bool IsCurrentMonth() const;
    // Row 0-5, column 1-7; false when the number is not in the grid.
    bool FindDay(int day, int& row, int& column) const;
    // Row and column 0-6 of today, (-1, -1) outside the current month.
    void TodayCell(int& row, int& column) const;
    quillet::DateValue CellDate(int row, int column) const;  // column 1-7; 0 for an empty cell
    int RowCount() const { return FGrid[5][0] != 0 ? 6 : 5; }
    std::array<std::string, 7> DayNames() const;
    std::array<std::string, 7> DayInitials() const;

private:
    TClock FNow;
    int FYear = 1, FMonth = 1;
    bool FStartFromSunday;
    std::array<std::array<int, 7>, 6> FGrid{};
};

}  // namespace orvelle
