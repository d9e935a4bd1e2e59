// A file over 4 GiB restored by cvrest from an archive where the entry's sizes (deflated) or
// also its offsets (stored) need ZIP64. Writes about 14 GB; not in the default suite (see
// bench/README.md).
#include "archive_support.h"
#include "subprocess.h"
#include "temp_folder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane::restore {
namespace {

using archive::test::inQuotes;

constexpr std::uint64_t kHuge = (std::uint64_t{9} << 29) + 12345;  // 4.5 GiB and a bit

TEST(LargeRestore, AFileOverFourGibibytesComesBackWhole) {
    corvane::test::TempFolder folder;
    corvane::test::makeFolder(folder / "src");
    // A sparse file with some data near its end reads as zeros elsewhere.
    const std::string huge = folder / "src/huge.bin";
    const int fd = ::open(huge.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0640);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(kHuge)), 0);
    const std::string tail = archive::test::textData(50000, 7);
    ASSERT_EQ(::pwrite(fd, tail.data(), tail.size(), static_cast<off_t>(kHuge - 60000)),
              static_cast<ssize_t>(tail.size()));
    ::close(fd);
    archive::test::writeFile(folder / "src/after.txt", archive::test::textData(100000, 1));
    for (const int level : {1, 0}) {
        SCOPED_TRACE(level);
        archive::test::ZipUnderTest zip;
        zip.settings.archivePath = folder / "large.bac";
        zip.settings.includes.push_back(folder / "src/*");
        zip.settings.level = level;
        ASSERT_EQ(zip.compress(), 0);
        std::string output;
        const int status = archive::test::runCommand(
            inQuotes(corvane::test::builtProgram("bin/cvrest")) + " extract " +
                inQuotes(zip.settings.archivePath) + " -d " + inQuotes(folder / "out") +
                " -y '*/src/*' --flat",
            &output);
        ASSERT_EQ(status, 0) << output;
        struct stat info {};
        ASSERT_EQ(::stat((folder / "out/huge.bin").c_str(), &info), 0);
        EXPECT_EQ(static_cast<std::uint64_t>(info.st_size), kHuge);
        EXPECT_EQ(info.st_mode & 07777, 0640u);
        EXPECT_EQ(archive::test::runCommand(
                      "cmp " + inQuotes(huge) + " " + inQuotes(folder / "out/huge.bin"), &output),
                  0)
            << output;
        EXPECT_EQ(corvane::test::readFile(folder / "out/after.txt"),
                  archive::test::textData(100000, 1));
        std::remove((folder / "out/huge.bin").c_str());
        std::remove(zip.settings.archivePath.c_str());
    }
}

}  // namespace
}  // namespace corvane::restore
