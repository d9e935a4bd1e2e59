// A run that replaces an archive keeps who may read it, from the moment the new file exists,
// and an archive path that is a link updates the link's target.
#include "archive/archiver.h"
#include "archive/result_codes.h"
#include "archive_support.h"
#include "temp_folder.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>

namespace corvane::archive {
namespace {

using test::writeFile;

// The permission bits of the run's temporary files in `folder`, each time a file is done.
class WatchingObserver : public test::RecordingObserver {
public:
    explicit WatchingObserver(std::string folder) : m_folder(std::move(folder)) {}
    void onFileProgress(const std::string& name, int percent, bool last) override {
        if (DIR* listing = ::opendir(m_folder.c_str())) {
            while (const dirent* entry = ::readdir(listing)) {
                const std::string file = entry->d_name;
                struct stat info {};
                if (file.find(".cvtmp-") != std::string::npos &&
                    ::stat((m_folder + file).c_str(), &info) == 0) {
                    seenModes.push_back(info.st_mode & 07777);
                }
            }
            ::closedir(listing);
        }
        RecordingObserver::onFileProgress(name, percent, last);
    }
    std::vector<mode_t> seenModes;

private:
    std::string m_folder;
};

TEST(ArchiveAccess, AReplacedArchiveKeepsItsModeGroupAndLink) {
    struct Case {
        const char* name;
        mode_t mode;
        gid_t group;  // 0: left as created
        bool freshen;
        bool throughLink;
    };
    const Case cases[] = {
        {"private archive, freshen", 0600, 0, true, false},
        {"private archive, replaced", 0600, 0, false, false},
        {"shared with a group", 0640, 4242, true, false},
        {"through a link", 0600, 0, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        corvane::test::TempFolder folder;
        corvane::test::makeFolder(folder / "src");
        corvane::test::makeFolder(folder / "real");
        writeFile(folder / "src/a.txt", test::textData(3000, 1));
        const std::string real = folder / "real/backup.bac";
        const std::string link = folder / "backup.bac";
        test::ZipUnderTest zip;
        WatchingObserver observer(folder / "real/");
        zip.setObserver(&observer);
        zip.settings.archivePath = real;
        zip.settings.includes = {folder / "src/*.txt"};
        ASSERT_EQ(zip.compress(), kDone);
        ASSERT_EQ(::chmod(real.c_str(), c.mode), 0);
        if (c.group != 0) {
            ASSERT_EQ(::chown(real.c_str(), static_cast<uid_t>(-1), c.group), 0);
        }
        if (c.throughLink) {
            ASSERT_EQ(::symlink("real/backup.bac", link.c_str()), 0);
            zip.settings.archivePath = link;
        }
        writeFile(folder / "src/b.txt", "new");
        test::setModificationTime(folder / "src/a.txt", ::time(nullptr) - 100);
        zip.settings.skipIfNotNewer = c.freshen;
        observer.seenModes.clear();
        ASSERT_EQ(zip.compress(), kDone);

        struct stat info {};
        ASSERT_EQ(::stat(real.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, c.mode);
        if (c.group != 0) {
            EXPECT_EQ(info.st_gid, c.group);
        }
        ASSERT_FALSE(observer.seenModes.empty());
        for (const mode_t seen : observer.seenModes)
            EXPECT_EQ(seen & ~c.mode, 0u) << std::oct << seen;
        if (c.throughLink) {
            ASSERT_EQ(::lstat(link.c_str(), &info), 0);
            EXPECT_TRUE(S_ISLNK(info.st_mode));
        }
        EXPECT_EQ(test::extractAll(real).size(), 2u);
    }
}

}  // namespace
}  // namespace corvane::archive
