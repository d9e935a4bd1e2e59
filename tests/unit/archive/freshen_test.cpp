// Freshen decides "newer" at the precision the archived copy's time has: sub-second times are
// stored (NTFS field) and compared; archives without them keep their whole-second rules.
#include "archive/archiver.h"
#include "archive/file_selection.h"
#include "archive/result_codes.h"
#include "archive_support.h"
#include "temp_folder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace corvane::archive {
namespace {

using test::readFile;
using test::writeFile;

constexpr std::int64_t kSecond = 1'000'000'000;
constexpr std::int64_t kBase = 1'700'000'000LL * kSecond;  // an even second

TEST(Freshen, ComparesAtThePrecisionOfTheArchivedTime) {
    struct Case {
        const char* name;
        bool otherTool;           // the archive was made by Info-ZIP's zip (seconds only)
        std::int64_t archivedAt;  // nanoseconds
        std::int64_t changedAt;
        bool freshened;
    };
    const Case cases[] = {
        {"rewritten 0.7 s later in the same second", false, kBase + 100'000'000,
         kBase + 800'000'000, true},
        {"unchanged", false, kBase + 100'000'000, kBase + 100'000'000, false},
        {"older than the archived copy", false, kBase + 800'000'000, kBase + 100'000'000, false},
        {"a 100 ns step counts", false, kBase + 100'000'000, kBase + 100'000'100, true},
        {"other tool, same second: seconds decide as before", true, kBase + 100'000'000,
         kBase + 800'000'000, false},
        {"other tool, the next second", true, kBase + 100'000'000, kBase + kSecond, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.otherTool) test::requireTool("zip");
        corvane::test::TempFolder folder;
        const std::string file = folder / "src/notes.txt";
        corvane::test::makeFolder(folder / "src");
        writeFile(file, "first");
        test::setTimeNs(file, c.archivedAt);
        test::ZipUnderTest zip;
        zip.settings.archivePath = folder / "backup.bac";
        zip.settings.includes = {file};
        if (c.otherTool) {
            ASSERT_EQ(test::runCommand("cd / && zip -q '" + zip.settings.archivePath + "' '" +
                                       storedNameFor(file) + "'"),
                      0);
        } else {
            ASSERT_EQ(zip.compress(), kDone);
        }
        writeFile(file, "again");
        test::setTimeNs(file, c.changedAt);
        zip.settings.skipIfNotNewer = true;
        EXPECT_EQ(zip.compress(), c.freshened ? kDone : kNothingToDo);
        const auto entries = test::extractAll(zip.settings.archivePath);
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(entries.begin()->second.content, c.freshened ? "again" : "first");
    }
}

TEST(Freshen, SubSecondTimesAreStoredForEveryReader) {
    test::requireTool("7zz");
    corvane::test::TempFolder folder;
    const std::string file = folder / "notes.txt";
    writeFile(file, "text");
    test::setTimeNs(file, kBase + 123'456'789);
    test::ZipUnderTest zip;
    zip.settings.archivePath = folder / "backup.bac";
    zip.settings.includes = {file};
    ASSERT_EQ(zip.compress(), kDone);
    const auto entries = test::extractAll(zip.settings.archivePath);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries.begin()->second.item.modificationTimeNs(), kBase + 123'456'700);
    std::string listing;
    ASSERT_EQ(test::runCommand("TZ=UTC 7zz l -slt '" + zip.settings.archivePath + "'", &listing),
              0);
    EXPECT_NE(listing.find("Modified = 2023-11-14 22:13:20.1234567"), std::string::npos) << listing;
}

}  // namespace
}  // namespace corvane::archive
