// Folder entries as other tools see them: 7-Zip, Info-ZIP's zipinfo, Python's zipfile and
// libarchive list every folder of the set with its own mode and time.
#include "archive/archiver.h"
#include "archive/file_selection.h"
#include "archive/result_codes.h"
#include "archive_support.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>

namespace corvane::archive {
namespace {

using test::runCommand;

struct FolderCase {
    const char* name;
    mode_t mode;
    const char* modeText;  // as ls shows it
    std::int64_t mtime;    // even seconds: the DOS time holds them exactly
};

std::string localText(std::int64_t seconds, const char* format) {
    const std::time_t moment = static_cast<std::time_t>(seconds);
    std::tm local{};
    ::localtime_r(&moment, &local);
    char text[64];
    std::strftime(text, sizeof text, format, &local);
    return text;
}

// The output of a command that must succeed.
std::string outputOf(const std::string& command) {
    std::string output;
    EXPECT_EQ(runCommand(command, &output), 0) << command << "\n" << output;
    return output;
}

// The line of `listing` that ends with `name`.
std::string lineEndingWith(const std::string& listing, const std::string& name) {
    std::size_t start = 0;
    while (start < listing.size()) {
        std::size_t end = listing.find('\n', start);
        if (end == std::string::npos) end = listing.size();
        const std::string line = listing.substr(start, end - start);
        if (line.size() >= name.size() && line.compare(line.size() - name.size(), name.size(),
                                                       name) == 0) {
            return line;
        }
        start = end + 1;
    }
    return {};
}

TEST(FolderEntries, OtherToolsSeeEveryFolderWithItsModeAndTime) {
    for (const char* tool : {"7zz", "unzip", "bsdtar", "python3"})
        test::requireTool(tool);
    corvane::test::TempFolder folder;
    const std::string root = folder / "root/";
    const FolderCase cases[] = {
        {"private/", 0700, "drwx------", 1500000000},
        {"shared/", 0750, "drwxr-x---", 1400000000},
        {"shared/deep/", 0755, "drwxr-xr-x", 1300000000},
        {"empty/", 0705, "drwx---r-x", 1200000000},
    };
    for (const FolderCase& c : cases)
        corvane::test::makeFolder(root + c.name);
    test::writeFile(root + "private/a.txt", "private");
    test::writeFile(root + "shared/deep/b.txt", "deep");
    for (const FolderCase& c : cases) {
        ASSERT_EQ(::chmod((root + c.name).c_str(), c.mode), 0);
        test::setModificationTime(root + c.name, c.mtime);
    }
    test::ZipUnderTest zip;
    zip.settings.archivePath = folder / "folders.bac";
    zip.settings.includes = {root + "*"};
    ASSERT_EQ(zip.compress(), kDone);
    const std::string archive = "'" + zip.settings.archivePath + "'";

    const std::string python = outputOf(
        "python3 -c 'import sys, zipfile\n"
        "for i in zipfile.ZipFile(sys.argv[1]).infolist():\n"
        "    print(\"%o %04d-%02d-%02d %02d:%02d:%02d %s\" % ((i.external_attr >> 16,) + "
        "i.date_time + (i.filename,)))' " +
        archive);
    const std::string zipinfo = outputOf("unzip -Z -T " + archive);
    const std::string sevenZip = outputOf("7zz l -slt " + archive);
    const std::string bsdtar = outputOf("bsdtar -tvf " + archive);
    for (const FolderCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string stored = storedNameFor(root + c.name);
        const std::string mode = std::to_string(40000 + (c.mode >> 6) * 100 +
                                                ((c.mode >> 3) & 7) * 10 + (c.mode & 7));
        EXPECT_EQ(lineEndingWith(python, " " + stored),
                  mode + " " + localText(c.mtime, "%Y-%m-%d %H:%M:%S") + " " + stored)
            << python;
        const std::string info = lineEndingWith(zipinfo, " " + stored);
        EXPECT_EQ(info.substr(0, 10), c.modeText) << zipinfo;
        EXPECT_NE(info.find(localText(c.mtime, "%Y%m%d.%H%M%S")), std::string::npos) << info;
        const std::string block = sevenZip.substr(sevenZip.find("Path = " + stored.substr(0,
                                                                 stored.size() - 1) + "\n"));
        const std::string entry = block.substr(0, block.find("\n\n"));
        EXPECT_NE(entry.find("Folder = +"), std::string::npos) << entry;
        EXPECT_NE(entry.find("Modified = " + localText(c.mtime, "%Y-%m-%d %H:%M:%S")),
                  std::string::npos)
            << entry;
        EXPECT_NE(entry.find(std::string(" ") + c.modeText), std::string::npos) << entry;
        const std::string listed = lineEndingWith(bsdtar, " " + stored);
        EXPECT_EQ(listed.substr(0, 10), c.modeText) << bsdtar;
    }
}

}  // namespace
}  // namespace corvane::archive
