// Writing one set's section of Offsite.ini back: the other sets' lines stay byte for byte, and
// nothing is written that inih would read differently.
#include "offsite/ini_writer.h"
#include "offsite/offsite_settings.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace corvane::test {
namespace {

using offsite::IniKeys;

const IniKeys kDaily = {{"Url", "webdav://127.0.0.1:8080/backups/"},
                        {"CredentialsFile", "daily.cred"},
                        {"Keep", "7"}};

TEST(IniWriter, ReplacesAddsAndRemovesOneSectionOnly) {
    const std::string others = "; copies of every set\n[Weekly]\nUrl=s3://b/w/\nKeep=3\n\n";
    const std::string tail = "[Photos] ; the camera\nUrl=sftp://me@nas/p/\n";
    const std::string daily =
        "[Daily]\nUrl=webdav://127.0.0.1:8080/backups/\nCredentialsFile=daily.cred\nKeep=7\n";
    struct Case {
        const char* name;
        std::string before;
        std::optional<IniKeys> keys;
        std::string after;
    };
    const Case cases[] = {
        {"replaced in the middle", others + "[Daily]\nUrl=s3://old/\nRegion=eu-west-1\n\n" + tail,
         kDaily, others + daily + "\n" + tail},
        {"added at the end", others + tail, kDaily, others + tail + "\n" + daily},
        {"added to an empty file", "", kDaily, daily},
        {"written twice, kept once", daily + others + "[Daily]\nKeep=1\n", kDaily,
         daily + others},
        {"removed", others + daily + tail, std::nullopt, others + tail},
        {"a missing one removed", others, std::nullopt, others},
        {"a header with a comment", others + "[Daily] ; mine\n; the NAS\nKeep=2\n" + tail,
         kDaily, others + daily + "; the NAS\n" + tail},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto written = offsite::withSection(c.before, "Daily", c.keys, "Offsite.ini");
        ASSERT_TRUE(written) << written.error().description;
        EXPECT_EQ(*written, c.after);
    }
}

TEST(IniWriter, RefusesWhatWouldReadBackDifferently) {
    struct Case {
        const char* name;
        std::string before;
        std::string section;
        IniKeys keys;
        const char* says;
    };
    const Case cases[] = {
        {"a line break", "", "Daily", {{"Url", "s3://b/\n[Weekly]"}}, "line break"},
        {"a comment in the value", "", "Daily", {{"Url", "s3://b/ ;x"}}, "would not read back"},
        {"spaces around", "", "Daily", {{"Url", " s3://b/"}}, "would not read back"},
        {"a bracket in the name", "", "Da]ly", {{"Url", "s3://b/"}}, "cannot be a section name"},
        {"a line too long", "", "Daily", {{"Url", "s3://" + std::string(200, 'b')}},
         "is longer than"},
        {"a broken file", "[Weekly]\nnot a key line\n", "Daily", {{"Url", "s3://b/"}},
         "line 2 is not"},
        {"an indented header after a key", "[Weekly]\nUrl=s3://w/\n  [Daily]\nKeep=1\n", "Daily",
         {{"Url", "s3://b/"}}, "other sets' settings"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto written = offsite::withSection(c.before, c.section, c.keys, "Offsite.ini");
        ASSERT_FALSE(written) << *written;
        EXPECT_NE(written.error().description.find(c.says), std::string::npos)
            << written.error().description;
    }
}

TEST(IniWriter, TheFileIsReplacedWholeAndReadsBackThroughTheSettings) {
    TempFolder home;
    writeFile(home / "Offsite.ini", "[Weekly]\nUrl=s3://b/w/\n");
    ::chmod((home / "Offsite.ini").c_str(), 0640);
    writeFile(home / "daily.cred", "User=ann\nPassword=secret\n");
    ::chmod((home / "daily.cred").c_str(), 0600);
    ASSERT_TRUE(offsite::writeOffsiteSection(home.path(), "Daily", kDaily));
    const auto read = offsite::readOffsiteSettings(home.path(), "Daily");
    ASSERT_TRUE(read && *read) << (read ? "no section" : read.error().description);
    EXPECT_EQ((*read)->keep, 7);
    EXPECT_EQ((*read)->credentialsFile, home / "daily.cred");
    struct stat info {};
    ASSERT_EQ(::stat((home / "Offsite.ini").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(readFile(home / "Offsite.ini").rfind("[Weekly]\nUrl=s3://b/w/\n\n[Daily]\n", 0), 0u);
    // Removing the last section of a set leaves the others; removing from no file makes none.
    ASSERT_TRUE(offsite::writeOffsiteSection(home.path(), "Daily", std::nullopt));
    EXPECT_EQ(readFile(home / "Offsite.ini"), "[Weekly]\nUrl=s3://b/w/\n\n");
    TempFolder empty;
    ASSERT_TRUE(offsite::writeOffsiteSection(empty.path(), "Daily", std::nullopt));
    EXPECT_FALSE(fileExists(empty / "Offsite.ini"));
}

}  // namespace
}  // namespace corvane::test
