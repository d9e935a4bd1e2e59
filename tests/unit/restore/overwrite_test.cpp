// Overwrite policies against files already on disk: which are replaced, kept or restored
// beside, SystemValidate guarding programs and shared libraries, and the user's answers.
#include "archive_support.h"
#include "config/config_record.h"
#include "raw_zip.h"
#include "restore/restore_paths.h"
#include "restore_support.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <optional>

namespace corvane::restore {
namespace {

using archive::test::RawZip;
using archive::test::writeFile;
using corvane::test::readFile;

constexpr std::int64_t kArchived = 1'700'000'000;  // the archive's copies are of this time
constexpr std::int64_t kSecond = 1'000'000'000;

// On disk: a.txt older than its archived copy, b.sh newer (a program), c.so older (a shared
// library), d.txt newer.
struct Disk {
    const char* name;
    std::int64_t offset;  // seconds from the archived copy's time
    unsigned mode;
};
constexpr Disk kDisk[] = {
    {"a.txt", -100, 0644}, {"b.sh", 100, 0755}, {"c.so", -100, 0644}, {"d.txt", 100, 0644}};

TEST(Overwrite, PoliciesKeepReplaceOrRestoreBeside) {
    using O = Outcome;
    struct Case {
        const char* name;
        OverwritePolicy policy;
        bool systemValidate;
        std::optional<Action> answer;  // to every question
        O a, b, c, d;
    };
    const O R = O::Replaced, K = O::Kept, B = O::Beside;
    const Case cases[] = {
        {"always", OverwritePolicy::Always, true, {}, R, K, R, R},
        {"always, programs unguarded", OverwritePolicy::Always, false, {}, R, R, R, R},
        {"newer", OverwritePolicy::Newer, false, {}, R, K, R, K},
        {"never", OverwritePolicy::Never, true, {}, K, K, K, K},
        {"rename", OverwritePolicy::Rename, true, {}, B, B, B, B},
        {"ask, replace", OverwritePolicy::Ask, true, Action::Replace, R, K, R, R},
        {"ask, keep", OverwritePolicy::Ask, true, Action::Keep, K, K, K, K},
        {"ask, both", OverwritePolicy::Ask, false, Action::Beside, B, B, B, B},
        {"ask, unanswered", OverwritePolicy::Ask, false, {}, K, K, K, K},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        corvane::test::TempFolder folder;
        RawZip zip;
        for (const auto& disk : kDisk) {
            const std::string content = std::string("archived ") + disk.name;
            auto item = archive::test::unixItem(disk.name, content, S_IFREG | disk.mode);
            item.unixMtime = kArchived;
            zip.add(item, content);
        }
        writeFile(folder / "a.zip", zip.finish());
        corvane::test::makeFolder(folder / "dest");
        for (const auto& disk : kDisk) {
            const std::string path = folder / (std::string("dest/") + disk.name);
            writeFile(path, std::string("on disk ") + disk.name);
            ::chmod(path.c_str(), disk.mode);
            test::setTimeNs(path, (kArchived + disk.offset) * kSecond);
        }
        RestoreOptions options;
        options.archivePath = folder / "a.zip";
        options.destination = folder / "dest";
        options.policy = test.policy;
        options.systemValidate = test.systemValidate;
        test::ScriptedEvents events;
        const RestoreSummary summary = test::restoreArchive(events, options, test.answer);
        EXPECT_EQ(summary.status, RestoreStatus::Done);
        const O expected[] = {test.a, test.b, test.c, test.d};
        auto found = test::outcomes(summary);
        for (std::size_t at = 0; at < 4; ++at) {
            const std::string name = kDisk[at].name;
            SCOPED_TRACE(name);
            EXPECT_EQ(outcomeText(found[name]), std::string(outcomeText(expected[at])));
            const std::string onDisk = readFile(folder / ("dest/" + name));
            if (expected[at] == O::Replaced) {
                EXPECT_EQ(onDisk, "archived " + name);
            } else {
                EXPECT_EQ(onDisk, "on disk " + name);
            }
            const std::string beside = folder / ("dest/" + numberedName(name, 1));
            EXPECT_EQ(corvane::test::fileExists(beside), expected[at] == O::Beside);
            if (expected[at] == O::Beside) {
                EXPECT_EQ(readFile(beside), "archived " + name);
            }
        }
    }
}

TEST(Overwrite, ConfigDefaultsAndPolicyNames) {
    ConfigRecord config;
    RestoreOptions options;
    config.restoreOverwrite = 1;
    config.systemValidate = 0;
    applyConfigDefaults(config, options);
    EXPECT_EQ(options.policy, OverwritePolicy::Always);
    EXPECT_FALSE(options.systemValidate);
    config.restoreOverwrite = 0;
    config.systemValidate = 1;
    applyConfigDefaults(config, options);
    EXPECT_EQ(options.policy, OverwritePolicy::Ask);
    EXPECT_TRUE(options.systemValidate);
    for (const char* name : {"ask", "newer", "never", "always", "rename"})
        EXPECT_EQ(policyName(*parsePolicy(name)), std::string(name));
    EXPECT_FALSE(parsePolicy("Always"));
    EXPECT_FALSE(parsePolicy(""));
}

}  // namespace
}  // namespace corvane::restore
