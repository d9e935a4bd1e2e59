// After an update every entry is protected as the run's password says: copied entries are
// encrypted, or added again from their files; an entry that allows neither is kept with a
// warning of its own.
#include "archive/archiver.h"
#include "archive/file_selection.h"
#include "archive/result_codes.h"
#include "archive_support.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace corvane::archive {
namespace {

using test::writeFile;

TEST(ProtectionUpdate, EveryEntryEndsUnderTheRunsPassword) {
    struct Case {
        const char* name;
        const char* before;  // the password of the first run
        const char* after;   // and of the freshen run
        int code;
        bool goneKept;  // the entry whose file is gone keeps its old protection (warning)
    };
    const Case cases[] = {
        {"protection switched on", "", "secret", kDone, false},
        {"protection switched off", "secret", "", kDoneWithWarnings, true},
        {"password changed", "old", "new", kDoneWithWarnings, true},
        {"same password", "secret", "secret", kNothingToDo, false},
        {"no password either time", "", "", kNothingToDo, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        corvane::test::TempFolder folder;
        corvane::test::makeFolder(folder / "src/docs");
        const std::string kept = folder / "src/docs/kept.txt";
        const std::string gone = folder / "src/docs/gone.txt";
        writeFile(kept, test::textData(20000, 1));
        writeFile(gone, "x");  // under 20 bytes: AE-2
        test::ZipUnderTest zip;
        test::RecordingObserver observer;
        zip.setObserver(&observer);
        zip.settings.archivePath = folder / "backup.bac";
        zip.settings.includes = {folder / "src/*"};
        zip.settings.password = c.before;
        ASSERT_EQ(zip.compress(), kDone);
        ASSERT_EQ(::unlink(gone.c_str()), 0);
        test::setModificationTime(folder / "src/docs", 1600000000);
        zip.settings.skipIfNotNewer = true;
        zip.settings.skipIfNotInArchive = true;
        zip.settings.password = c.after;
        observer.events.clear();
        EXPECT_EQ(zip.compress(), c.code);

        std::vector<std::int64_t> warnings;
        for (const auto& event : observer.events) {
            if (event.kind == "skipped" && event.value >= 100) warnings.push_back(event.value);
        }
        EXPECT_EQ(warnings, c.goneKept ? std::vector<std::int64_t>{kSkipProtectionKept}
                                       : std::vector<std::int64_t>{});
        ArchiveListing listing;
        ASSERT_EQ(zip.list(listing), kDone);
        for (const ZipItem& item : listing.items) {
            SCOPED_TRACE(item.name);
            const bool isGone = item.name == storedNameFor(gone);
            const bool encrypted = isGone && c.goneKept ? *c.before != '\0' : *c.after != '\0';
            EXPECT_EQ(item.isEncrypted(), encrypted && !item.isFolder());
        }
        // Everything that follows the run's setting reads back with its password.
        if (!c.goneKept) {
            const auto entries = test::extractAll(zip.settings.archivePath, c.after);
            EXPECT_EQ(entries.at(storedNameFor(kept)).content, test::readFile(kept));
            EXPECT_EQ(entries.at(storedNameFor(gone)).content, "x");
            EXPECT_EQ(zip.test(), kDone);
        }
    }
}

}  // namespace
}  // namespace corvane::archive
