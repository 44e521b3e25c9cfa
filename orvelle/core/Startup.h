#pragma once
#include "platform/InstanceLock.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orvelle {

class TGUITools;

// What the core needs of a desktop window (the month, to-do and event-list windows).
class TDeskWindow {
public:
    virtual ~TDeskWindow() = default;
    virtual void RefreshWindow() = 0;
    virtual void ShowWindow() = 0;
    virtual std::string Caption() const = 0;
    virtual void SetCaption(const std::string& caption) = 0;
};

// The desktop windows in refresh order: month, to-do, event list. It refers to them, never owns.
std::vector<TDeskWindow*>& DeskWindows();

// Refreshes every window of DeskWindows, in order.
void RefreshAll();

// The handler of errors nobody else caught: logs "Exception:<message>", saves app.log and shows
// the message through the installed error box; the application goes on.
void HandleApplicationError(const std::string& message);
void SetErrorBoxHook(std::function<void(const std::string& message)> hook);

// The program's entry sequence. The window-system layer derives from it and fills the hooks; the
// core part (single instance, system check, services, logs, installed files, settings, the order of
// the windows) is done here.
class TStartupSequence {
public:
    TStartupSequence() = default;
    virtual ~TStartupSequence();
    TStartupSequence(const TStartupSequence&) = delete;
    TStartupSequence& operator=(const TStartupSequence&) = delete;

    // Runs to the end of the program; the process exit code. A second copy ends at once with 0.
    int Run();

    static constexpr const char* kInstanceName = "Orvelle";
    static constexpr const char* kApplicationTitle = "Orvelle";
    static constexpr const char* kPlatformErrorText = "The application must run on  windows 2000 or higher.";
    static constexpr const char* kPlatformErrorCaption = "Platform error";

protected:
    virtual void InitialiseApplication() {}
    // Binds the toolkit's uncaught-error path to HandleApplicationError. The base installs
    // ShowErrorBox as the error box.
    virtual void InstallErrorHandler();
    virtual void ShowErrorBox(const std::string& message) { (void)message; }
    virtual void ShowPlatformError(const std::string& text, const std::string& caption) {
        (void)text;
        (void)caption;
    }
    virtual int QueryOsGeneration();
    virtual void SetApplicationTitle(const std::string& title) { (void)title; }
    // The month window (its creation loads the calendar list and the calendars) and the sort
    // dialog. Returns the month window; null ends the start.
    virtual TDeskWindow* CreateCalendarForm() { return nullptr; }
    virtual TDeskWindow* CreateAppointmentForm() { return nullptr; }
    virtual TDeskWindow* CreateTaskForm() { return nullptr; }
    virtual void ShowDesktop();
    // Runs until the month window closes; its result is the exit code.
    virtual int RunMessageLoop() { return 0; }
    virtual void DestroyWindows() {}

    TDeskWindow* CalendarForm() const { return FCalendarForm; }

private:
    void Finish();

    platform::TInstanceLock FLiteLock;
    platform::TInstanceLock FLock;
    std::unique_ptr<TGUITools> FTools;
    TDeskWindow* FCalendarForm = nullptr;
};

}  // namespace orvelle
