// An archive over 4 GiB, and an entry over 4 GiB: ZIP64 sizes, offsets and descriptors, read
// back by the component and by the oracle tools. Writes about 5 GB; not in the default suite
// (see bench/README.md).
#include "archive/archiver.h"
#include "archive_support.h"
#include "temp_folder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

namespace corvane::archive {
namespace {

using test::inQuotes;

constexpr std::uint64_t kHuge = (std::uint64_t{9} << 29) + 12345;  // 4.5 GiB and a bit

TEST(LargeArchive, OverFourGibibytesIsReadByEveryTool) {
    for (const char* tool : {"7zz", "unzip", "bsdtar", "python3"})
        test::requireTool(tool);
    corvane::test::TempFolder folder;
    corvane::test::makeFolder(folder / "src");
    // A sparse file reads as zeros without taking the disk space.
    const std::string huge = folder / "src/a-huge.bin";
    const int fd = ::open(huge.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(kHuge)), 0);
    ::close(fd);
    test::writeFile(folder / "src/b-after.txt",
                    test::textData(100000, 1));  // its offset passes 4 GiB

    struct Shape {
        const char* name;
        int level;
    };
    for (const Shape& shape : {Shape{"stored: the archive passes 4 GiB", 0},
                               Shape{"deflated: an entry passes 4 GiB", 1}}) {
        SCOPED_TRACE(shape.name);
        test::ZipUnderTest zip;
        test::RecordingObserver observer;
        zip.setObserver(&observer);
        zip.settings.archivePath = folder / "large.zip";
        zip.settings.includes.push_back(folder / "src/*");
        zip.settings.level = shape.level;
        ASSERT_EQ(zip.compress(), kDone);
        if (shape.level == 0) {
            EXPECT_GT(std::filesystem::file_size(zip.settings.archivePath), kHuge);
        }
        EXPECT_EQ(zip.test(), kDone);
        const std::string path = inQuotes(zip.settings.archivePath);
        std::string output;
        EXPECT_EQ(test::runCommand("7zz t -bd " + path, &output), 0) << output;
        EXPECT_EQ(test::runCommand("unzip -tq " + path, &output), 0) << output;
        EXPECT_EQ(test::runCommand("bsdtar -tf " + path, &output), 0) << output;
        EXPECT_EQ(
            test::runCommand("python3 -c 'import sys, zipfile; "
                             "sys.exit(1 if zipfile.ZipFile(sys.argv[1]).testzip() else 0)' " +
                                 path,
                             &output),
            0)
            << output;
        std::filesystem::remove(zip.settings.archivePath);
    }
}

}  // namespace
}  // namespace corvane::archive
