// Backup.cfg: its byte layout, the start-up read with its defaults and resets, the writers, and
// the stored form of the archive password with the choices made for texts it cannot carry.
#include <gtest/gtest.h>

#include "common/le_codec.h"
#include "config/config_store.h"
#include "config/password.h"
#include "temp_folder.h"

namespace corvane {
namespace {

using test::readFile;
using test::TempFolder;
using test::writeFile;

std::string bytesOf(const ConfigRecord& record) {
    const auto bytes = record.encode();
    return std::string(bytes.begin(), bytes.end());
}

TEST(ConfigRecord, EveryFieldSitsAtItsOffset) {
    ConfigRecord record;
    std::int16_t value = 100;
    std::int16_t* fields[] = {
        &record.subFolders,     &record.compression,       &record.freshen,
        &record.addNew,         &record.shutDown,          &record.skipPrompt,
        &record.promptPreview,  &record.restoreOverwrite,  &record.systemValidate,
        &record.newLocationPrompt, &record.addAllFolders,  &record.password,
        &record.logFile,        &record.noAskDefault,      &record.verifyExists,
        &record.testMode};
    const std::size_t offsets[] = {0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 54, 56, 58, 60};
    for (auto* field : fields) *field = value++;
    record.passwordText = "secret";
    record.tempFolder = "/tmp/x/";
    record.reserved = -1;
    record.cdCapacity = "650 MB";
    const auto bytes = record.encode();
    for (std::size_t i = 0; i < std::size(offsets); ++i) {
        EXPECT_EQ(le::getI16(bytes, offsets[i]), 100 + static_cast<int>(i)) << offsets[i];
    }
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.substr(24, 30), "secret" + std::string(24, ' '));
    EXPECT_EQ(text.substr(62, 7), "/tmp/x/");
    EXPECT_EQ(le::getI16(bytes, 218), -1);
    EXPECT_EQ(text.substr(220, 6), "650 MB");
    EXPECT_EQ(ConfigRecord::decode(bytes), record);
}

TEST(ConfigStore, FirstStartCreatesTheDefaultRecord) {
    TempFolder home;
    ConfigStore store(home.path());
    store.loadAtStart();
    const std::string file = readFile(home / "Backup.cfg");
    ASSERT_EQ(file.size(), 226u);
    EXPECT_EQ(file.substr(212, 6), "v6.0  ");
    EXPECT_EQ(file.substr(218, 2), std::string("\x01\x00", 2));
    EXPECT_EQ(file.substr(220, 6), "600 MB");
    const ConfigRecord& r = store.record();
    // noAskDefault, subFolders, compression, shutDown, promptPreview, testMode, logFile
    EXPECT_EQ((std::vector<int>{r.noAskDefault, r.subFolders, r.compression, r.shutDown,
                                r.promptPreview, r.testMode, r.logFile}),
              (std::vector<int>{1, 1, 6, 1, 1, 2, 0}));
    EXPECT_EQ(r.tempFolder, "");
}

// Another version is reset keeping the password; the current one (trimmed) loads as stored.
TEST(ConfigStore, AnotherVersionIsResetKeepingThePassword) {
    for (const std::string version : {"v5.1", "  v6.0"}) {
        SCOPED_TRACE(version);
        TempFolder home;
        ConfigRecord old;
        old.version = version;
        old.compression = 9;
        old.logFile = 1;
        old.tempFolder = "/var/tmp/";
        old.passwordText = "abc";
        writeFile(home / "Backup.cfg", bytesOf(old));
        ConfigStore store(home.path());
        store.loadAtStart();
        ConfigRecord expected = old;
        expected.version = "v6.0";
        if (version == "v5.1") {
            expected = ConfigRecord{};
            expected.noAskDefault = 0;
            expected.passwordText = "abc";
        }
        EXPECT_EQ(store.record(), expected);
        EXPECT_EQ(readFile(home / "Backup.cfg"), bytesOf(version == "v5.1" ? expected : old));
    }
}

// A record cut short has no trustworthy version: it is reset, keeping the password text when
// all 30 of its bytes are there, and written back whole. Never a failure.
TEST(ConfigStore, ShortFileEndsInAReset) {
    ConfigRecord stored;
    stored.compression = 9;
    stored.passwordText = "pw";
    const std::string full = bytesOf(stored);
    for (const std::size_t length : {0u, 10u, 53u, 54u, 200u, 225u}) {
        TempFolder home;
        writeFile(home / "Backup.cfg", full.substr(0, length));
        ConfigStore store(home.path());
        store.loadAtStart();
        EXPECT_EQ(store.record().compression, 6) << length;
        EXPECT_EQ(store.record().noAskDefault, 0) << length;
        EXPECT_EQ(store.record().passwordText, length >= 54 ? "pw" : "") << length;
        EXPECT_EQ(readFile(home / "Backup.cfg").size(), 226u) << length;
    }
}

// Set defaults store only their four fields, exit only a chosen capacity, a long temp folder is
// cut to its field; reload restores stored values but keeps memory when the file is unusable.
TEST(ConfigStore, WritersStoreOnlyTheirFieldsAndReloadRestores) {
    TempFolder home;
    ConfigStore store(home.path());
    store.loadAtStart();
    store.record().logFile = 1;  // in memory only: not stored by saveSetDefaults
    store.saveSetDefaults(9, 1, 1, 1);
    EXPECT_EQ(store.record().logFile, 0);
    ConfigRecord expected;
    expected.compression = 9;
    expected.freshen = expected.addNew = expected.addAllFolders = 1;
    ConfigStore reread(home.path());
    reread.reload();
    EXPECT_EQ(reread.record(), expected);

    store.saveAtExit("");  // no capacity chosen (a chosen one: the program tests)
    EXPECT_EQ(readFile(home / "Backup.cfg").substr(220, 6), "600 MB");

    store.record().tempFolder = "/" + std::string(200, 't') + "/";
    ASSERT_TRUE(store.save());
    store.record().compression = 1;  // as an opened set would
    store.reload();
    EXPECT_EQ(store.record().tempFolder, "/" + std::string(149, 't'));
    EXPECT_EQ(store.record().compression, 9);

    store.record().compression = 1;
    writeFile(home / "Backup.cfg", "short");
    store.reload();
    EXPECT_EQ(store.record().compression, 1);
}

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
