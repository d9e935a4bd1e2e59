// A destination inside a backed-up folder: the archive, its temporary files and its volumes
// never end up in the archive, and leaving them out is not a skipped file.
#include "archive/archiver.h"
#include "archive/file_selection.h"
#include "archive/result_codes.h"
#include "archive_support.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>

namespace corvane::archive {
namespace {

using test::RecordingObserver;
using test::writeFile;

TEST(Destination, TheRunsOwnFilesAreNeverArchived) {
    struct Case {
        const char* name;
        bool freshen = false;
        bool split = false;
        bool tempInside = false;  // the temporary folder is inside the backed-up folder too
        bool throughLink = false;  // the include reaches the folder through a link
    };
    const Case cases[] = {
        {"a second plain run over the first archive"},
        {"freshen", true},
        {"split volumes", false, true},
        {"temporary folder inside the source", false, false, true},
        {"the folder named through a link", false, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        corvane::test::TempFolder folder;
        const std::string home = folder / "home/";
        corvane::test::makeFolder(home + "Backups");
        corvane::test::makeFolder(home + "tmp");
        writeFile(home + "notes.txt", test::textData(5000, 1));
        writeFile(home + "photo.bin", test::randomData(90000, 2));
        // Left behind by this very process: a name a temporary file of the run has.
        const std::string planted = ".backup.bac.cvtmp-" + std::to_string(::getpid()) + "-1";
        writeFile(home + "Backups/" + planted, "half an archive");
        writeFile(home + "tmp/" + planted, "half an archive");
        ASSERT_EQ(::link((home + "notes.txt").c_str(), (home + "hard.txt").c_str()), 0);
        ASSERT_EQ(::symlink(home.c_str(), (folder / "linked").c_str()), 0);

        test::ZipUnderTest zip;
        RecordingObserver observer;
        zip.setObserver(&observer);
        zip.settings.archivePath = home + "Backups/backup.bac";
        const std::string root = c.throughLink ? folder / "linked/" : home;
        zip.settings.includes = {root + "*"};
        zip.settings.spanDisks = c.split;
        zip.settings.diskSize = c.split ? 64 * 1024 : 0;
        zip.settings.useTempCopy = c.tempInside;
        zip.settings.tempFolder = home + "tmp/";
        ASSERT_EQ(zip.compress(), kDone);
        if (c.split) writeFile(home + "Backups/backup.z07", "an old volume");
        // A second name for the archive itself.
        if (!c.split) {
            ASSERT_EQ(::link((home + "Backups/backup.bac").c_str(), (home + "again.bac").c_str()),
                      0);
        }
        writeFile(home + "notes.txt", test::textData(6000, 3));
        test::setModificationTime(home + "notes.txt", ::time(nullptr) + 60);
        zip.settings.skipIfNotNewer = c.freshen;
        observer.events.clear();
        ASSERT_EQ(zip.compress(), kDone);

        // Freshen leaves unchanged files as "not newer"; nothing else is skipped.
        for (const auto& event : observer.events) {
            if (event.kind == "skipped") {
                EXPECT_EQ(event.value, kSkipNotNewer) << event.name;
            }
        }
        std::vector<std::string> names;
        for (const auto& [name, entry] : test::extractAll(zip.settings.archivePath)) {
            names.push_back(name.substr(storedNameFor(root).size()));
        }
        std::vector<std::string> expected = {"", "Backups/", "hard.txt", "notes.txt", "photo.bin",
                                             "tmp/"};
        if (!c.tempInside) expected.push_back("tmp/" + planted);
        EXPECT_EQ(names, expected);
    }
}

}  // namespace
}  // namespace corvane::archive
