#include "orvelle/core/Startup.h"

#include "orvelle/core/GUITool.h"
#include "orvelle/core/Provision.h"
#include "orvelle/core/Setting.h"
#include "orvelle/core/callist.h"

#include <exception>

namespace orvelle {

namespace {

std::function<void(const std::string&)>& ErrorBoxHook() {
    static std::function<void(const std::string&)> hook;
    return hook;
}

}  // namespace

std::vector<TDeskWindow*>& DeskWindows() {
    static std::vector<TDeskWindow*> windows;
    return windows;
}

void RefreshAll() {
    for (TDeskWindow* w : DeskWindows())
        if (w) w->RefreshWindow();
}

void SetErrorBoxHook(std::function<void(const std::string&)> hook) { ErrorBoxHook() = std::move(hook); }

void HandleApplicationError(const std::string& message) {
    if (GUITools) {
        GUITools->LogFmt("Exception:%s", message.c_str());
        GUITools->SaveLog();
    }
    if (ErrorBoxHook()) ErrorBoxHook()(message);
}

TStartupSequence::~TStartupSequence() { Finish(); }

void TStartupSequence::InstallErrorHandler() {
    SetErrorBoxHook([this](const std::string& message) { ShowErrorBox(message); });
}

int TStartupSequence::QueryOsGeneration() { return TGUITools::OsGeneration(); }

void TStartupSequence::ShowDesktop() {
    if (GUITools) GUITools->ShowDesktop();
}

void TStartupSequence::Finish() {
    if (FTools) DestroyWindows();
    DeskWindows().clear();
    FCalendarForm = nullptr;
    ReleaseCalendarList();
    ReleaseSettings();
    SetErrorBoxHook(nullptr);
    if (GUITools == FTools.get()) GUITools = nullptr;
    FTools.reset();
    FLock.Release();
    FLiteLock.Release();
}

int TStartupSequence::Run() {
    InitialiseApplication();
    FLiteLock.Acquire("OrvelleLite");  // only marks that a copy runs; its result does not matter
    // Without a usable runtime folder nothing can tell whether another copy runs; starting is
    // better than refusing to.
    if (FLock.Acquire(kInstanceName) == platform::TInstanceLock::Result::HeldElsewhere) {
        FLiteLock.Release();
        return 0;
    }
    InstallErrorHandler();
    if (QueryOsGeneration() <= 4) {
        ShowPlatformError(kPlatformErrorText, kPlatformErrorCaption);
        Finish();
        return 1;
    }

    FTools = std::make_unique<TGUITools>();
    GUITools = FTools.get();
    GUITools->TrimLibraryLog();
    GUITools->LogFmt("Application start:version is %s", TGUITools::FileVersion().c_str());

    int exitCode = 0;
    try {
        TProvisionResult provided =
            ProvisionInstallation(TGUITools::InstalledDataFolder(), GUITools->DataFolder());
        for (const auto& name : provided.Copied) GUITools->Log("Installed default copied: " + name);
        for (const auto& failure : provided.Failed) GUITools->Log("Installed default not copied: " + failure);

        LoadSettings();
        DeskWindows().clear();
        SetApplicationTitle(kApplicationTitle);

        FCalendarForm = CreateCalendarForm();
        if (!FCalendarForm) {
            Finish();
            return 1;
        }
        FCalendarForm->SetCaption(FCalendarForm->Caption() + "- running");
        TDeskWindow* appointments = CreateAppointmentForm();
        TDeskWindow* tasks = CreateTaskForm();
        for (TDeskWindow* w : {FCalendarForm, tasks, appointments})
            if (w) DeskWindows().push_back(w);

        FCalendarForm->ShowWindow();
        if (appointments && Settings().GeneralSetting().DisplayAppointment()) appointments->ShowWindow();
        if (tasks && Settings().GeneralSetting().DisplayTask()) tasks->ShowWindow();
        if (Settings().AppearenceSetting().Desktop()) ShowDesktop();
    } catch (const std::exception& e) {
        HandleApplicationError(e.what());
        // Without settings or a month window there is nothing to run; otherwise the windows that
        // exist carry on, as they would after any other error.
        if (!SettingsDocument().Active() || !FCalendarForm) {
            Finish();
            return 1;
        }
    }

    exitCode = RunMessageLoop();
    GUITools->SaveLog();
    Finish();
    return exitCode;
}

}  // namespace orvelle
