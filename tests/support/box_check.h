#pragma once

#include "scripted_host.h"

#include <gtest/gtest.h>

#include <string>

namespace corvane::test {

// Checks the icon, buttons and text of a box that the logic showed (its title was checked by
// the script that answered it).
inline void expectBox(const ScriptedHost::MessageCall& box, Icon icon, Buttons buttons,
                      const std::string& text) {
    EXPECT_EQ(box.icon, icon) << box.title;
    EXPECT_EQ(box.buttons, buttons) << box.title;
    EXPECT_EQ(box.text, text) << box.title;
}

}  // namespace corvane::test
