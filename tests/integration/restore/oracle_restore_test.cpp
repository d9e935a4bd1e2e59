// Archives written by tools nobody here wrote (Info-ZIP's zip, 7-Zip with and without AES-256,
// Python's zipfile) restored by cvrest: contents, modes, times at the precision each stores,
// links and empty folders come back as they were. A missing tool fails the test.
#include "archive_support.h"
#include "restore_support.h"
#include "subprocess.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace corvane::restore {
namespace {

using archive::test::inQuotes;
using archive::test::runCommand;
using archive::test::writeFile;

constexpr std::int64_t kSecond = 1'000'000'000;

class ToolArchives : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {"zip", "7zz", "python3"})
            corvane::test::requireTool(tool);
        source = folder / "src";
        corvane::test::makeFolder(source + "/docs/empty");
        corvane::test::makeFolder(source + "/private");
        writeFile(source + "/docs/notes.txt", archive::test::textData(300000, 1));
        writeFile(source + "/docs/photo.jpg", archive::test::randomData(100000, 2));
        writeFile(source + "/private/run.sh", "#!/bin/sh\n");
        writeFile(source + "/caf\xC3\xA9.txt", "utf-8");
        writeFile(source + "/zero", "");
        ASSERT_EQ(::symlink("docs/notes.txt", (source + "/link").c_str()), 0);
        ::chmod((source + "/docs/notes.txt").c_str(), 0640);
        ::chmod((source + "/private/run.sh").c_str(), 0750);
        ::chmod((source + "/private").c_str(), 0700);
        ::chmod((source + "/docs/empty").c_str(), 0750);
        std::int64_t time = 1'650'000'000 * kSecond + 987'654'300;
        for (const auto& path : test::allPaths(source)) {
            test::setTimeNs(source + "/" + path, time);
            time += 3 * kSecond + 111'111'100;
        }
        original = test::treeState(source);
    }

    // cvrest extract into a fresh folder; its exit status.
    int restore(const std::string& archive, const std::string& password = {}) {
        const std::string feed =
            password.empty() ? "" : "printf '%s\\n' " + inQuotes(password) + " | ";
        std::string output;
        const int status =
            runCommand(feed + inQuotes(corvane::test::builtProgram("bin/cvrest")) + " extract " +
                           inQuotes(archive) + " -d " + inQuotes(folder / "restored") +
                           (password.empty() ? "" : " --password-file -"),
                       &output);
        EXPECT_EQ(status, 0) << output;
        return status;
    }

    corvane::test::TempFolder folder;
    std::string source;
    test::TreeState original;
};

TEST_F(ToolArchives, EveryToolsArchiveComesBackAsTheTreeWas) {
    struct Case {
        const char* name;
        std::string command;  // run in the source folder
        std::string password;
        std::int64_t precisionNs;  // of the times the archive stores
        bool links;                // the tool stores links as links
    };
    const std::string archive = folder / "tool.zip";
    const Case cases[] = {
        {"zip -r -y", "zip -q -r -y " + inQuotes(archive) + " .", "", kSecond, true},
        {"7zz", "7zz a -tzip -snl -bd -bso0 " + inQuotes(archive) + " .", "", 100, true},
        {"7zz AES-256",
         "7zz a -tzip -snl -mem=AES256 -p'S3cret pw' -bd -bso0 " + inQuotes(archive) + " .",
         "S3cret pw", 100, true},
        {"python zipfile",
         "python3 -c 'import os, zipfile\n"
         "with zipfile.ZipFile(\"" +
             archive +
             "\", \"w\", zipfile.ZIP_DEFLATED) as z:\n"
             "    for root, dirs, files in os.walk(\".\"):\n"
             "        for name in dirs + files:\n"
             "            path = os.path.join(root, name)\n"
             "            if not os.path.islink(path): z.write(path)\n'",
         "", 2 * kSecond, false},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        std::remove(archive.c_str());
        std::string output;
        ASSERT_EQ(runCommand("cd " + inQuotes(source) + " && " + test.command, &output), 0)
            << output;
        std::filesystem::remove_all(folder / "restored");
        if (restore(archive, test.password) != 0) continue;
        test::TreeState expected = original;
        if (!test.links) expected.erase("link");
        // The restore's own folder is not part of the archive.
        auto restored = test::treeState(folder / "restored");
        EXPECT_EQ(test::differences(expected, restored, test.precisionNs),
                  std::vector<std::string>{});
    }
}

}  // namespace
}  // namespace corvane::restore
