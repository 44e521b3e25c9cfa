#pragma once
// The two one-second clocks of the month window: reminders of today's alarms and the hourly chime.
#include "quillet/DateValue.h"

#include <set>
#include <string>
#include <tuple>

namespace orvelle {

class TQuilletManager;

// The sliding pop-up of the desktop; the GUI supplies it.
class IAlertWindow {
public:
    virtual ~IAlertWindow() = default;
    virtual void ShowAlert(const std::string& title, const std::string& text) = 0;
};

class ISoundPlayer {
public:
    virtual ~ISoundPlayer() = default;
    // Returns at once; no default system sound when the file cannot be played.
    virtual void PlayAsync(const std::string& path) = 0;
};

class TReminderClock {
public:
    TReminderClock(TQuilletManager& manager, IAlertWindow& alert) : FManager(manager), FAlert(alert) {}
    // One tick of the one-second timer; `now` is host-local.
    void Tick(quillet::DateValue now);
    // False for the rest of the run once a tick failed.
    bool Enabled() const { return FEnabled; }

private:
    void DoTick(quillet::Secs now);
    TQuilletManager& FManager;
    IAlertWindow& FAlert;
    bool FEnabled = true;
    bool FStarted = false;
    quillet::Secs FStartMinute = 0;  // alarms before the clock's first minute are not shown
    std::int64_t FDay = 0;
    // Reminders shown today, by owner, summary and instant, so that a rebuild of the lists does
    // not bring them back.
    std::set<std::tuple<std::string, std::string, quillet::Secs>> FShown;
};

class TChimeClock {
public:
    explicit TChimeClock(ISoundPlayer& player) : FPlayer(player) {}
    void Tick(quillet::DateValue now, bool hourlyTimeAnnouncement, const std::string& reminderWav);
    int LastChimeHour() const { return FLastChimeHour; }

private:
    ISoundPlayer& FPlayer;
    int FLastChimeHour = -1;  // no hour yet, so that midnight chimes too
};

}  // namespace orvelle
