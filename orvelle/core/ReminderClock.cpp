#include "orvelle/core/ReminderClock.h"

#include "orvelle/core/QuilletManager.h"
#include "quillet/Event.h"
#include "quillet/Todo.h"

#include <algorithm>
#include <filesystem>

namespace orvelle {

using namespace quillet;

namespace {
std::string OwnerKey(Alarm& alarm) {
    if (auto ev = alarm.vEvent()) return "E" + ev->UID()->Value() + "/" + std::to_string(ev->RecurID()->ValueSeconds());
    if (auto todo = alarm.Todo()) return "T" + todo->UID()->Value();
    return {};
}
Secs FloorDiv(Secs a, Secs b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
}  // namespace

void TReminderClock::Tick(DateValue now) {
    if (!FEnabled) return;
    try {
        DoTick(ToSeconds(now));
    } catch (...) {
        // A reminder that cannot be tested or shown would fail every second: stop quietly.
        FEnabled = false;
    }
}

void TReminderClock::DoTick(Secs now) {
    const std::int64_t today = FloorDiv(now, kSecondsPerDay);
    if (!FStarted) {
        FStarted = true;
        FStartMinute = FloorDiv(now, 60) * 60;
        FDay = today;
    } else if (today != FDay) {
        // A new day: its reminders are not in the lists built yesterday.
        FDay = today;
        FShown.clear();
        FManager.BuildTodayAlarms();
    }
    auto& alarms = FManager.TodayAlarms();
    const Secs nowMinute = FloorDiv(now, 60);
    for (auto it = alarms.begin(); it != alarms.end(); ++it) {
        Alarm& alarm = **it;
        const std::string owner = OwnerKey(alarm);
        for (const auto& t : alarm.OccurTimes()) {
            const Secs local = ToSeconds(t->localtime());
            // Due from its own minute on, on its own date, once; a tick missed while the machine
            // slept is made up when the clock resumes the same day.
            if (FloorDiv(local, kSecondsPerDay) != today || local < FStartMinute || FloorDiv(local, 60) > nowMinute)
                continue;
            auto key = std::make_tuple(owner, alarm.Summary()->Value(), local);
            if (FShown.count(key)) continue;
            FShown.insert(key);
            std::string text = alarm.Summary()->Value();
            alarms.erase(it);
            FAlert.ShowAlert("Alarm", text);
            return;  // one alert per tick
        }
    }
}

void TChimeClock::Tick(DateValue now, bool hourlyTimeAnnouncement, const std::string& reminderWav) {
    DateFields f = ValueToFields(now);
    if (f.minute != 0 || f.hour == FLastChimeHour || !hourlyTimeAnnouncement) return;
    std::error_code ec;
    if (std::filesystem::is_regular_file(reminderWav, ec)) FPlayer.PlayAsync(reminderWav);
    FLastChimeHour = f.hour;
}

}  // namespace orvelle
