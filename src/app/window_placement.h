#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace corvane {

// Where the main window sits on the screen and how large it is, in window units.
struct Placement {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const Placement&, const Placement&) = default;
};

// The per-user settings of the "Startup" section: text values by key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::optional<std::string> value(std::string_view key) const = 0;
    virtual void setValue(std::string_view key, const std::string& value) = 0;
};

// The placement the load step gives the window: "Left" and "Top" read as numbers (missing or
// non-numeric text gives 0); "Width" and "Height" replace the designed size only when greater
// than 0.
Placement restorePlacement(const SettingsStore& settings, const Placement& designed);

// The closing step's store: "Left", "Top", "Height" and "Width" as decimal text, unless the
// window is minimised, which keeps the placement stored before.
void storePlacement(SettingsStore& settings, const Placement& placement, bool minimised);

}  // namespace corvane
