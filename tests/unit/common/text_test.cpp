// Text helpers: trimming, case folding, path splitting and fixed-width fields; and the two
// number conversions of set files, lenient leading numbers and the strict integer.
#include "common/text.h"

#include "common/le_codec.h"
#include "common/number_text.h"

#include <gtest/gtest.h>

#include <utility>

namespace corvane {
namespace {

TEST(Text, TrimRemovesOnlySpaces) {
    EXPECT_EQ(trim("  a b  "), "a b");
    EXPECT_EQ(trim("   "), "");
    EXPECT_EQ(trim("\ta\t"), "\ta\t");
}

TEST(Text, UpperCaseFoldsUnicodeLettersAndKeepsBadBytes) {
    EXPECT_EQ(toUpper("c:/data/Sub"), "C:/DATA/SUB");
    EXPECT_EQ(toUpper("/home/zoë/ärger"), "/HOME/ZOË/ÄRGER");
    EXPECT_EQ(toUpper("/папка"), "/ПАПКА");
    EXPECT_EQ(toUpper("a\xff"
                      "b"),
              "A\xff"
              "B");
}

TEST(Text, FileNameOfSplitsAtTheLastSeparator) {
    struct Case {
        std::string path, name, folder;
    };
    const Case cases[] = {
        {"/sets/Daily.cvt", "Daily.cvt", "/sets/"},
        {"/Daily.cvt", "Daily.cvt", "/"},
        {"/sets/", "", "/sets/"},
        // The folder is as long as the trimmed path less the name, counted on the untrimmed path.
        {"  /sets/Daily.cvt", "Daily.cvt", "  /set"},
        {"/sets/Daily.cvt  ", "Daily.cvt  ", "/set"},
    };
    for (const auto& c : cases) {
        std::string folder = "unchanged";
        EXPECT_EQ(fileNameOf(c.path, folder), c.name) << c.path;
        EXPECT_EQ(folder, c.folder) << c.path;
    }
    std::string folder = "/kept/";
    EXPECT_EQ(fileNameOf("Daily.cvt", folder), "");
    EXPECT_EQ(folder, "/kept/");
}

TEST(Text, FixedFieldsCutAtCharacterBoundariesAndPad) {
    EXPECT_EQ(fixedField("abc", 6), "abc   ");
    EXPECT_EQ(fixedField("abcdefgh", 6), "abcdef");
    // "é" is two bytes: a cut inside it drops the whole character.
    EXPECT_EQ(fixedField("abcdé", 5), "abcd ");
    EXPECT_EQ(fixedField("abcdé", 6), "abcdé");
    EXPECT_EQ(fixedField("€€", 4), "€ ");

    std::vector<std::uint8_t> record(10, 0);
    writeFixedField(record, 2, 6, "  x y");
    EXPECT_EQ(std::string(record.begin() + 2, record.begin() + 8), "  x y ");
    EXPECT_EQ(readFixedField(record, 2, 6), "x y");
}

TEST(Text, LittleEndianCodecRoundTrips) {
    std::vector<std::uint8_t> bytes(14, 0);
    le::putI16(bytes, 0, -2);
    le::putU32(bytes, 2, 0x12345678);
    le::putU64(bytes, 6, 0x0102030405060708ULL);
    EXPECT_EQ(bytes[0], 0xFE);
    EXPECT_EQ(bytes[1], 0xFF);
    EXPECT_EQ(bytes[2], 0x78);
    EXPECT_EQ(bytes[13], 0x01);
    EXPECT_EQ(le::getI16(bytes, 0), -2);
    EXPECT_EQ(le::getU32(bytes, 2), 0x12345678u);
    EXPECT_EQ(le::getU64(bytes, 6), 0x0102030405060708ULL);
}

TEST(Text, LogTextEscapesWhatCouldForgeOrHideALine) {
    const std::pair<std::string, std::string> cases[] = {
        {"/home/ann/Report 2026.odt", "/home/ann/Report 2026.odt"},
        {"évité ☃.txt", "évité ☃.txt"},
        {"evil\n### Test Operation successful ###", "evil\\x0A### Test Operation successful ###"},
        {"a\rb\tc", "a\\x0Db\\x09c"},
        {std::string("nul\0x", 5), "nul\\x00x"},
        {"back\\slash", "back\\\\slash"},
        {"bad\xff\xc3", "bad\\xFF\\xC3"},
        {"nel\xc2\x85", "nel\\xC2\\x85"},
        {"ls\xe2\x80\xa8", "ls\\xE2\\x80\\xA8"},
        {"txt.\xe2\x80\xae"
         "exe",
         "txt.\\xE2\\x80\\xAEexe"},  // right-to-left override
    };
    for (const auto& [text, logged] : cases)
        EXPECT_EQ(escapeForLog(text), logged) << text;
}

TEST(Text, GroupedNumbers) {
    EXPECT_EQ(groupedNumber(0), "0");
    EXPECT_EQ(groupedNumber(999), "999");
    EXPECT_EQ(groupedNumber(1000), "1,000");
    EXPECT_EQ(groupedNumber(4000000000ULL), "4,000,000,000");
}

TEST(NumberText, LeadingNumberTakesWhatStartsTheText) {
    const std::pair<const char*, double> cases[] = {
        {"6", 6},        {"  9", 9},  {"1 2", 12},     {"abc", 0},   {"", 0},
        {"600 MB", 600}, {"-3x", -3}, {"2.5kg", 2.5},  {"1e2", 100}, {"1e", 1},
        {".5", 0.5},     {"+7", 7},   {"12abc34", 12},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_DOUBLE_EQ(leadingNumber(text), expected) << text;
}

TEST(NumberText, StrictConversionRefusesAnythingButANumber) {
    EXPECT_EQ(*strictInt16("1"), 1);
    EXPECT_EQ(*strictInt16(" -12 "), -12);
    EXPECT_EQ(*strictInt16("2.5"), 2);  // half to even
    EXPECT_EQ(*strictInt16("3.5"), 4);
    for (const char* bad : {"", "abc", "1a", "1 2", "-"}) {
        const auto result = strictInt16(bad);
        ASSERT_FALSE(result) << bad;
        EXPECT_EQ(result.error().code, errc::kTypeMismatch) << bad;
    }
    const auto overflow = strictInt16("40000");
    ASSERT_FALSE(overflow);
    EXPECT_EQ(overflow.error().code, errc::kOverflow);
}

TEST(NumberText, RoundingIntoSixteenBits) {
    EXPECT_EQ(*roundToInt16(0.5), 0);
    EXPECT_EQ(*roundToInt16(1.5), 2);
    EXPECT_EQ(*roundToInt16(-32768), -32768);
    EXPECT_FALSE(roundToInt16(32767.5));
    EXPECT_FALSE(roundToInt16(1e300));
}

}  // namespace
}  // namespace corvane
