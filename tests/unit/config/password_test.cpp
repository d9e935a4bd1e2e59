// The stored form of the archive password and the choices made for texts it cannot carry.
#include <gtest/gtest.h>

#include "config/config_record.h"
#include "config/password.h"

namespace corvane {
namespace {

// Every code moves by three, wrapping around modulo 256 so that reading undoes storing.
TEST(Password, ShiftMovesEveryCodeByThreeAndWraps) {
    EXPECT_EQ(shiftText("Secret9", ShiftDirection::Down), "Pb`obq6");
    EXPECT_EQ(shiftText("a", ShiftDirection::Up), "d");
    EXPECT_EQ(shiftText(std::string("\x01", 1), ShiftDirection::Down), "\xfe");
    EXPECT_EQ(shiftText("\xfe", ShiftDirection::Up), std::string("\x01", 1));
    std::string every;
    for (int c = 0; c < 256; ++c) every += static_cast<char>(c);
    EXPECT_EQ(shiftText(shiftText(every, ShiftDirection::Down), ShiftDirection::Up), every);
}

// "#" is stored as a space, which the trimmed field would lose at either end: such passwords
// are refused rather than silently changed. Stored texts are trimmed and cut to 30 bytes.
TEST(Password, StoredTextIsTrimmedCutAndRefusesAnEdgeHash) {
    for (const std::string refused : {"#abc", "abc#", " abc# "}) {
        EXPECT_FALSE(isStorablePassword(refused)) << refused;
    }
    EXPECT_TRUE(isStorablePassword("a#c"));
    EXPECT_TRUE(isStorablePassword(""));
    EXPECT_EQ(passwordFromStored(storedPasswordText("a#c")), "a#c");
    EXPECT_EQ(storedPasswordText("  d  "), "a");
    const std::string thirty(30, 'x');
    EXPECT_EQ(passwordFromStored(storedPasswordText(thirty + "yz")), thirty);
    // A cut never splits a character: 29 ASCII bytes and a two-byte letter keep 29 bytes.
    EXPECT_EQ(passwordFromStored(storedPasswordText(std::string(29, 'x') + "é")),
              std::string(29, 'x'));
    ConfigRecord record;
    record.passwordText = storedPasswordText("pässwörd");
    EXPECT_EQ(passwordFromStored(ConfigRecord::decode(record.encode()).passwordText), "pässwörd");
}

}  // namespace
}  // namespace corvane
