// Hostile archives restored into a folder: each unsafe entry is refused with its reason, the
// safe ones around it are restored, and nothing is ever written outside the destination.
#include "archive/crc32.h"
#include "archive_support.h"
#include "raw_zip.h"
#include "restore_support.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <optional>

namespace corvane::restore {
namespace {

namespace fs = std::filesystem;
using archive::test::RawZip;
using archive::test::writeFile;

void file(RawZip& zip, const std::string& name, const std::string& content,
          std::uint32_t mode = S_IFREG | 0644) {
    zip.add(archive::test::unixItem(name, content, mode), content);
}

void link(RawZip& zip, const std::string& name, const std::string& target) {
    zip.add(archive::test::unixItem(name, target, S_IFLNK | 0777), target);
}

using Expected = std::map<std::string, Outcome>;

struct Case {
    const char* name;
    std::function<void(RawZip&)> build;
    Expected outcomes;
    std::vector<std::string> inside;  // what the destination holds afterwards
    bool archiveInside = false;       // the archive is read from the destination itself
    // How the restore ends when not as the outcomes say (Done, or DoneWithSkips).
    std::optional<RestoreStatus> status = std::nullopt;
};

const Case kCases[] = {
    {"climbing out with ..",
     [](RawZip& zip) {
         file(zip, "../escape.txt", "x");
         file(zip, "a/../../escape.txt", "x");
         file(zip, "safe.txt", "ok");
     },
     {{"../escape.txt", Outcome::Refused},
      {"a/../../escape.txt", Outcome::Refused},
      {"safe.txt", Outcome::Restored}},
     {"safe.txt"}},
    {"absolute, empty, dot and NUL parts",
     [](RawZip& zip) {
         file(zip, "/abs/escape.txt", "x");
         file(zip, "a//b.txt", "x");
         file(zip, "a/./b.txt", "x");
         file(zip, std::string("nul\0/b.txt", 10), "x");
         file(zip, ".", "x");
     },
     {{"/abs/escape.txt", Outcome::Refused},
      {"a//b.txt", Outcome::Refused},
      {"a/./b.txt", Outcome::Refused},
      {std::string("nul\0/b.txt", 10), Outcome::Refused},
      {".", Outcome::Refused}},
     {}},
    {"a link out, then a file through it",
     [](RawZip& zip) {
         link(zip, "evil", "../outside");
         file(zip, "evil/pwned.txt", "x");
     },
     {{"evil", Outcome::Refused}, {"evil/pwned.txt", Outcome::Restored}},
     {"evil", "evil/pwned.txt"}},
    {"links leading out, and one staying in",
     [](RawZip& zip) {
         link(zip, "abs", "/etc/passwd");
         link(zip, "sub/up", "../../outside/target.txt");
         link(zip, "sub/ok", "../inside.txt");
         file(zip, "inside.txt", "in");
     },
     {{"abs", Outcome::Refused},
      {"sub/up", Outcome::Refused},
      {"sub/ok", Outcome::Restored},
      {"inside.txt", Outcome::Restored}},
     {"inside.txt", "sub", "sub/ok"}},
    {"links planted on disk",
     [](RawZip& zip) {
         file(zip, "planted/file.txt", "x");
         file(zip, "planted-file", "replaces the link itself");
     },
     {{"planted/file.txt", Outcome::Refused}, {"planted-file", Outcome::Replaced}},
     {"planted", "planted-file"}},
    {"one path twice, and a file that is also a folder",
     [](RawZip& zip) {
         file(zip, "dup.txt", "first");
         file(zip, "dup.txt", "second");
         file(zip, "both", "a file");
         file(zip, "both/inner.txt", "in a folder");
     },
     {{"dup.txt", Outcome::Refused},
      {"both", Outcome::Refused},
      {"both/inner.txt", Outcome::Restored}},
     {"both", "both/inner.txt", "dup.txt"}},
    {"devices and pipes",
     [](RawZip& zip) {
         file(zip, "tty", "", S_IFCHR | 0666);
         file(zip, "fifo", "", S_IFIFO | 0644);
         file(zip, "plain", "p");
     },
     {{"tty", Outcome::Refused}, {"fifo", Outcome::Refused}, {"plain", Outcome::Restored}},
     {"plain"}},
    {"two entries sharing their data",
     [](RawZip& zip) {
         archive::ZipItem item = archive::test::unixItem("first", "shared", S_IFREG | 0644);
         item.localOffset = zip.add(item, "shared");
         item.compressedSize = 6;
         item.name = "second";
         zip.addCentral(item);
     },
     {{"second", Outcome::Refused}},
     {"first"}},
    {"a damaged entry and a name too long for the disk",
     [](RawZip& zip) {
         archive::ZipItem item =
             archive::test::unixItem("damaged.txt", "good data", S_IFREG | 0644);
         zip.add(item, "bad! data");
         file(zip, std::string(300, 'n'), "long");
     },
     {{"damaged.txt", Outcome::Failed}, {std::string(300, 'n'), Outcome::Refused}},
     {},
     false,
     RestoreStatus::Failed},
    {"the archive itself",
     [](RawZip& zip) { file(zip, "hostile.zip", "x"); },
     {{"hostile.zip", Outcome::Refused}},
     {"hostile.zip"},
     true},
    {"setuid and setgid bits",
     [](RawZip& zip) { file(zip, "suid", "#!/bin/sh\n", S_IFREG | 06755); },
     {{"suid", Outcome::Restored}},
     {"suid"}},
};

TEST(HostileRestore, UnsafeEntriesAreRefusedAndNothingIsWrittenOutside) {
    for (const auto& test : kCases) {
        SCOPED_TRACE(test.name);
        corvane::test::TempFolder folder;
        const std::string destination = folder / "dest";
        corvane::test::makeFolder(destination);
        corvane::test::makeFolder(folder / "outside");
        writeFile(folder / "outside/target.txt", "outside");
        ASSERT_EQ(::symlink("../outside", (destination + "/planted").c_str()), 0);
        ASSERT_EQ(::symlink("../outside/target.txt", (destination + "/planted-file").c_str()), 0);
        RawZip zip;
        test.build(zip);
        const std::string archive =
            test.archiveInside ? destination + "/hostile.zip" : folder / "hostile.zip";
        writeFile(archive, zip.finish());
        const std::string archiveBytes = corvane::test::readFile(archive);
        auto before = test::treeState(folder.path());

        RestoreOptions options;
        options.archivePath = archive;
        options.destination = destination;
        options.policy = OverwritePolicy::Always;
        test::ScriptedEvents events;
        const RestoreSummary summary = test::restoreArchive(events, options);

        auto found = test::outcomes(summary);
        for (const auto& [name, outcome] : test.outcomes) {
            EXPECT_EQ(found.count(name), 1u) << name;
            EXPECT_EQ(outcomeText(found[name]), std::string(outcomeText(outcome))) << name;
        }
        for (const auto& entry : summary.entries) {
            if (entry.outcome == Outcome::Refused || entry.outcome == Outcome::Failed) {
                EXPECT_FALSE(entry.reason.empty()) << entry.name;
            }
        }
        EXPECT_EQ(summary.status,
                  test.status.value_or(summary.problems().empty() ? RestoreStatus::Done
                                                                  : RestoreStatus::DoneWithSkips));
        // Outside the destination nothing changed; inside, only what the case expects (the
        // planted links stay unless replaced).
        auto after = test::treeState(folder.path());
        std::vector<std::string> inside;
        for (auto tree : {&before, &after}) {
            for (auto at = tree->begin(); at != tree->end();) {
                at = at->first.rfind("dest", 0) == 0 ? tree->erase(at) : std::next(at);
            }
        }
        EXPECT_EQ(test::differences(before, after, 1), std::vector<std::string>{});
        std::vector<std::string> wanted = test.inside;
        for (const char* planted : {"planted", "planted-file"}) {
            if (std::find(wanted.begin(), wanted.end(), planted) == wanted.end()) {
                wanted.push_back(planted);
            }
        }
        std::sort(wanted.begin(), wanted.end());
        EXPECT_EQ(test::allPaths(destination), wanted);
        EXPECT_EQ(corvane::test::readFile(archive), archiveBytes);
        struct stat info {};
        if (::lstat((destination + "/planted-file").c_str(), &info) == 0 &&
            test.outcomes.count("planted-file") != 0) {
            EXPECT_TRUE(S_ISREG(info.st_mode));
        }
        if (::lstat((destination + "/suid").c_str(), &info) == 0) {
            EXPECT_EQ(info.st_mode & 07777, 0755u);  // no owner stored: the bits are dropped
        }
    }
}

TEST(HostileRestore, OutputFarBeyondTheArchiveIsAskedAbout) {
    corvane::test::TempFolder folder;
    corvane::test::makeFolder(folder / "dest");
    RawZip zip;
    archive::ZipItem item = archive::test::unixItem("zeros", "", S_IFREG | 0644);
    item.method = archive::zip::kMethodDeflate;
    item.uncompressedSize = 64 << 20;
    const std::vector<std::uint8_t> zeros(64 << 20, 0);
    item.crc = archive::crc32Update(0, zeros);
    zip.add(item, archive::test::deflateZeros(64 << 20));
    writeFile(folder / "bomb.zip", zip.finish());
    RestoreOptions options;
    options.archivePath = folder / "bomb.zip";
    options.destination = folder / "dest";
    for (const bool allow : {false, true}) {
        SCOPED_TRACE(allow);
        test::ScriptedEvents events;
        events.allowLarge = allow;
        const RestoreSummary summary = test::restoreArchive(events, options);
        EXPECT_EQ(events.asked, std::vector<std::string>{"large output"});
        EXPECT_EQ(summary.status, allow ? RestoreStatus::Done : RestoreStatus::Cancelled);
        EXPECT_EQ(test::allPaths(folder / "dest"),
                  allow ? std::vector<std::string>{"zeros"} : std::vector<std::string>{});
    }
}

}  // namespace
}  // namespace corvane::restore
