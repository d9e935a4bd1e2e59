#include "app/window_placement.h"

#include "common/number_text.h"

#include <cmath>
#include <limits>

namespace corvane {

namespace {

int numberOf(const SettingsStore& settings, std::string_view key) {
    const auto text = settings.value(key);
    if (!text) return 0;
    const double number = leadingNumber(*text);
    // A value no screen can hold is as useless as a missing one.
    if (!std::isfinite(number) || std::fabs(number) > std::numeric_limits<int>::max()) return 0;
    return static_cast<int>(number);
}

}  // namespace

Placement restorePlacement(const SettingsStore& settings, const Placement& designed) {
    Placement placement = designed;
    placement.left = numberOf(settings, "Left");
    placement.top = numberOf(settings, "Top");
    if (const int width = numberOf(settings, "Width"); width > 0) placement.width = width;
    if (const int height = numberOf(settings, "Height"); height > 0) placement.height = height;
    return placement;
}

void storePlacement(SettingsStore& settings, const Placement& placement, bool minimised) {
    if (minimised) return;
    settings.setValue("Left", std::to_string(placement.left));
    settings.setValue("Top", std::to_string(placement.top));
    settings.setValue("Height", std::to_string(placement.height));
    settings.setValue("Width", std::to_string(placement.width));
}

}  // namespace corvane
