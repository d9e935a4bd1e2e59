#pragma once

#include "app/window_placement.h"

#include <QSettings>
#include <string>

namespace corvane::ui {

// The per-user "Startup" settings of application "Corvane" (organisation "Corvane").
class QtSettingsStore final : public SettingsStore {
public:
    QtSettingsStore();
    std::optional<std::string> value(std::string_view key) const override;
    void setValue(std::string_view key, const std::string& value) override;

private:
    mutable QSettings m_settings;
};

// True when a display is there to show windows on (DISPLAY or WAYLAND_DISPLAY is set).
bool displayAvailable();

// The program with its windows: the splash, then the main window after the load step (which
// runs an unattended backup with its progress window when the command line asks for one).
// Returns the program's exit status.
int runWithWindows(int argc, char** argv, const std::string& commandLine);

}  // namespace corvane::ui
