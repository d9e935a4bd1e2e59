// Archives written by other tools (tests/data/archive) pass the component's test.
#include "archive/archiver.h"
#include "archive_support.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

namespace corvane::archive {
namespace {

TEST(Fixtures, ArchivesOfOtherToolsTestClean) {
    const std::pair<const char*, const char*> fixtures[] = {
        {"zip-deflate.zip", ""},      {"zip-stream.zip", ""}, {"7z-deflate.zip", ""},
        {"7z-aes256.zip", "fixture"}, {"bsdtar.zip", ""},     {"python-zip64.zip", ""},
        {"python-stored.zip", ""},
    };
    for (const auto& [name, password] : fixtures) {
        test::RecordingObserver observer;
        Archiver zip;
        zip.setObserver(&observer);
        zip.archivePath = corvane::test::testDataFolder() + "archive/" + name;
        zip.password = password;
        EXPECT_EQ(zip.test(), kDone) << name;
        EXPECT_EQ(observer.count("warning"), 0u) << name;
        EXPECT_GE(observer.count("file-done"), 2u) << name;
        EXPECT_EQ(observer.count("password"), 0u) << name;
    }
}

TEST(Fixtures, AnEncryptedFixtureWithoutItsPasswordAsksForIt) {
    test::RecordingObserver observer;
    observer.passwords = {"guess", "fixture"};
    Archiver zip;
    zip.setObserver(&observer);
    zip.archivePath = corvane::test::testDataFolder() + "archive/7z-aes256.zip";
    EXPECT_EQ(zip.test(), kDone);
    EXPECT_EQ(observer.count("password"), 2u);
}

}  // namespace
}  // namespace corvane::archive
