// Archives of every shape the component writes, read by tools nobody here wrote (7-Zip,
// Info-ZIP, Python's zipfile, libarchive), and archives those tools write, read by the
// component. A missing tool fails these tests.
#include "archive/archiver.h"
#include "archive/file_selection.h"
#include "archive_support.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace corvane::archive {
namespace {

using test::inQuotes;
namespace fs = std::filesystem;
using test::runCommand;
using test::writeFile;

// The oracles: each gives the tool's output on failure, empty text on success.
std::string failureOf(const std::string& command, const std::string& mustSay = {}) {
    std::string output;
    const int status = runCommand(command, &output);
    return status == 0 && output.find(mustSay) != std::string::npos ? "" : output;
}

std::string sevenZipTest(const std::string& path, const std::string& password = {}) {
    return failureOf("7zz t -bd -p" + inQuotes(password) + " " + inQuotes(path),
                     "Everything is Ok");
}

std::string unzipTest(const std::string& path) {
    return failureOf("unzip -tq " + inQuotes(path));
}

std::string pythonTest(const std::string& path) {
    return failureOf(
        "python3 -c 'import sys, zipfile; "
        "sys.exit(1 if zipfile.ZipFile(sys.argv[1]).testzip() else 0)' " +
        inQuotes(path));
}

// bsdtar lists the entries; the count must match.
std::string bsdtarList(const std::string& path, std::size_t entries) {
    std::string output;
    if (runCommand("bsdtar -tf " + inQuotes(path), &output) != 0) return output;
    const auto lines = static_cast<std::size_t>(std::count(output.begin(), output.end(), '\n'));
    return lines == entries
               ? ""
               : "bsdtar listed " + std::to_string(lines) + ":\n" + output.substr(0, 2000);
}

// zip -s 0 joins a split archive into one file that unzip can test.
std::string joinAndUnzip(const std::string& path, const std::string& joined) {
    const std::string failure =
        failureOf("zip -q -s 0 " + inQuotes(path) + " --out " + inQuotes(joined));
    return failure.empty() ? unzipTest(joined) : failure;
}

class Oracles : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {"7zz", "zip", "unzip", "bsdtar", "python3"})
            test::requireTool(tool);
        source = folder / "src/";
        corvane::test::makeFolder(source + "docs/empty");
        writeFile(source + "docs/notes.txt", test::textData(200000, 1));
        writeFile(source + "docs/photo.jpg", test::randomData(120000, 2));
        writeFile(source + "r\xC3\xA9sum\xC3\xA9.txt", "unicode name");
        writeFile(source + "zero.dat", "");
        writeFile(source + "big.txt", test::textData(2'600'000, 3));    // compressed in pieces
        writeFile(source + "big.bin", test::randomData(2'200'000, 4));  // stored in pieces
        ASSERT_EQ(::symlink("docs/notes.txt", (source + "link").c_str()), 0);
        zip.setObserver(&observer);
    }

    // Files, the link, and the folders: the source, docs/ and the empty one.
    static constexpr std::size_t kEntries = 10;

    corvane::test::TempFolder folder;
    std::string source;
    test::ZipUnderTest zip;
    test::RecordingObserver observer;
};

TEST_F(Oracles, SingleArchivesOfEveryLevelAndEncryptionAreReadByEveryTool) {
    for (const int level : {0, 1, 6, 9}) {
        for (const std::string password : {"", "pa55 word"}) {
            SCOPED_TRACE("level " + std::to_string(level) + " password '" + password + "'");
            zip.settings.archivePath = folder / "backup.bac";
            zip.settings.includes.clear();
            zip.settings.includes.push_back(source + "*");
            zip.settings.level = level;
            zip.settings.password = password;
            ASSERT_EQ(zip.compress(), kDone);
            EXPECT_EQ(sevenZipTest(zip.settings.archivePath, password), "");
            EXPECT_EQ(bsdtarList(zip.settings.archivePath, kEntries), "");
            if (password.empty()) {
                EXPECT_EQ(unzipTest(zip.settings.archivePath), "");
                EXPECT_EQ(pythonTest(zip.settings.archivePath), "");
            }
            // The component's own reader gives every file back as it was.
            const auto entries = test::extractAll(zip.settings.archivePath, password);
            const auto entry = [&](const std::string& name) -> const test::Extracted& {
                return entries.at(storedNameFor(source + name));
            };
            for (const char* name : {"docs/notes.txt", "docs/photo.jpg", "r\xC3\xA9sum\xC3\xA9.txt",
                                     "zero.dat", "big.txt", "big.bin"}) {
                EXPECT_EQ(entry(name).content, test::readFile(source + name)) << name;
                EXPECT_EQ(entry(name).item.isEncrypted(), !password.empty()) << name;
            }
            EXPECT_TRUE(entry("link").item.isSymlink());
            EXPECT_FALSE(entry("link").item.isEncrypted());
            EXPECT_EQ(entry("link").content, "docs/notes.txt");
            EXPECT_TRUE(entry("docs/empty/").item.isFolder());
            // Incompressible data is stored, compressible data deflated (except at level 0).
            EXPECT_EQ(entry("docs/photo.jpg").item.dataMethod(), zip::kMethodStore);
            EXPECT_EQ(entry("big.bin").item.dataMethod(), zip::kMethodStore);
            EXPECT_EQ(entry("big.txt").item.dataMethod(),
                      level == 0 ? zip::kMethodStore : zip::kMethodDeflate);
            if (!password.empty()) {
                EXPECT_EQ(entry("zero.dat").item.aes->vendorVersion, zip::kAesVersion2);
                EXPECT_EQ(entry("docs/notes.txt").item.aes->vendorVersion, zip::kAesVersion1);
            }
        }
    }
}

// A folder on a memory file system when there is one: tens of thousands of small files there
// cost no journal work for every other test that syncs meanwhile.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = fs::is_directory("/dev/shm")
                                  ? "/dev/shm/corvane-many-XXXXXX"
                                  : fs::temp_directory_path() / "corvane-many-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot create " << pattern;
        m_path = pattern + "/";
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

TEST_F(Oracles, MoreThan65535EntriesUseZip64) {
    ScratchFolder scratch;
    const std::string many = scratch.path();
    constexpr std::size_t kFiles = 65536 + 200;
    for (std::size_t at = 0; at < kFiles; ++at) {
        std::ofstream(many + std::to_string(at)) << at;
    }
    zip.settings.archivePath = folder / "many.bac";
    zip.settings.includes.push_back(many + "*");
    ASSERT_EQ(zip.compress(), kDone);
    EXPECT_EQ(zip.test(), kDone);
    EXPECT_EQ(sevenZipTest(zip.settings.archivePath), "");
    EXPECT_EQ(unzipTest(zip.settings.archivePath), "");
    EXPECT_EQ(pythonTest(zip.settings.archivePath), "");
    EXPECT_EQ(bsdtarList(zip.settings.archivePath, kFiles + 1), "");  // and the folder
}

// zip 3.0 cannot join an entry that spans three or more volumes (its own archives neither),
// so the split data is many files, each spanning at most two.
TEST_F(Oracles, SplitArchivesIntoManyVolumesAreReadAndJoined) {
    const std::string many = folder / "split-src/";
    corvane::test::makeFolder(many);
    for (unsigned at = 0; at < 30; ++at) {
        writeFile(many + "t" + std::to_string(at) + ".txt", test::textData(30000, 10 + at));
        writeFile(many + "r" + std::to_string(at) + ".bin", test::randomData(9000, 50 + at));
    }
    corvane::test::makeFolder(folder / "split");
    const std::string archive = folder / "split/backup.zip";
    zip.settings.archivePath = archive;
    zip.settings.includes.push_back(many + "*");
    zip.settings.spanDisks = true;
    zip.settings.diskSize = 64 * 1024;
    ASSERT_EQ(zip.compress(), kDone);
    ASSERT_TRUE(fs::exists(folder / "split/backup.z03"));
    EXPECT_EQ(sevenZipTest(archive), "");
    const std::string joined = folder / "joined.zip";
    EXPECT_EQ(joinAndUnzip(archive, joined), "");
    EXPECT_EQ(pythonTest(joined), "");
    EXPECT_EQ(bsdtarList(joined, 61), "");
}

TEST_F(Oracles, SpannedArchivesWithDiskChangesAreReadOnceTheDisksAreTogether) {
    corvane::test::makeFolder(folder / "drive/sub");
    corvane::test::makeFolder(folder / "removed");
    writeFile(folder / "drive/stray.txt", "left on the disk");
    const std::string archive = folder / "drive/backup.zip";
    zip.settings.archivePath = archive;
    writeFile(source + "docs/more.bin", test::randomData(100000, 4));
    writeFile(source + "docs/extra.bin", test::randomData(80000, 5));
    zip.settings.includes.push_back(source + "docs/*");
    zip.settings.spanDisks = true;
    zip.settings.diskSize = 128 * 1024;  // no entry spans more than two volumes (see above)
    const auto moveAll = [&](const std::string& from, const std::string& to) {
        for (const auto& entry : fs::directory_iterator(folder / from))
            fs::rename(entry.path(), folder / (to + entry.path().filename().string()));
    };
    // The user lets the files on the first disk go, and takes each finished disk out before
    // inserting the next one.
    observer.diskNotEmpty = [](const std::string&) { return true; };
    observer.insertDisk = [&](int) {
        moveAll("drive", "removed/");
        return true;
    };
    ASSERT_EQ(zip.compress(), kDone);
    EXPECT_EQ(observer.names("disk-not-empty"), std::vector<std::string>{folder / "drive/"});
    EXPECT_FALSE(fs::exists(folder / "removed/stray.txt"));
    EXPECT_TRUE(fs::exists(folder / "removed/sub"));  // folders are left alone
    const std::size_t disks = observer.count("insert-disk") + 1;
    ASSERT_GE(disks, 3u);

    // Testing asks for each disk in turn (the last one is in at the start), and for the last
    // disk again when data runs onto it.
    observer.events.clear();
    observer.insertDisk = [&](int number) {
        char name[16];
        std::snprintf(name, sizeof name, "backup.z%02d", number);
        const std::string wanted = number == 0 ? "backup.zip" : name;
        moveAll("drive", "removed/");
        fs::rename(folder / ("removed/" + wanted), folder / ("drive/" + wanted));
        return true;
    };
    EXPECT_EQ(zip.test(), kDone);
    std::vector<std::int64_t> asked;
    for (std::size_t at = 1; at < disks; ++at)
        asked.push_back(static_cast<std::int64_t>(at));
    auto values = observer.values("insert-disk");
    if (values.size() == disks) {
        EXPECT_EQ(values.back(), 0);
        values.pop_back();
    }
    EXPECT_EQ(values, asked);

    moveAll("removed", "drive/");
    EXPECT_EQ(sevenZipTest(archive), "");
    const std::string joined = folder / "joined.zip";
    EXPECT_EQ(joinAndUnzip(archive, joined), "");
    EXPECT_EQ(bsdtarList(joined, 6), "");
}

TEST_F(Oracles, FreshenedArchivesStayReadable) {
    const std::string archive = folder / "fresh.bac";
    zip.settings.archivePath = archive;
    zip.settings.includes.push_back(source + "*");
    ASSERT_EQ(zip.compress(), kDone);
    writeFile(source + "docs/notes.txt", test::textData(150000, 9));
    writeFile(source + "added.txt", "added later");
    test::setModificationTime(source + "docs/notes.txt", 4000000000);
    zip.settings.skipIfNotNewer = true;
    ASSERT_EQ(zip.compress(), kDone);
    EXPECT_EQ(sevenZipTest(archive), "");
    EXPECT_EQ(unzipTest(archive), "");
    EXPECT_EQ(pythonTest(archive), "");
    EXPECT_EQ(bsdtarList(archive, kEntries + 1), "");
}

TEST_F(Oracles, ArchivesOfOtherToolsPassTheComponentsTest) {
    corvane::test::makeFolder(folder / "made");
    const std::string python =
        "import zipfile\n"
        "for name, method, force in ((\"py-deflated.zip\", zipfile.ZIP_DEFLATED, False),\n"
        "                            (\"py-stored.zip\", zipfile.ZIP_STORED, False),\n"
        "                            (\"py-zip64.zip\", zipfile.ZIP_DEFLATED, True)):\n"
        "    with zipfile.ZipFile(\"../made/\" + name, \"w\", method) as z:\n"
        "        for path in (\"docs/notes.txt\", \"docs/photo.jpg\", \"big.txt\"):\n"
        "            with open(path, \"rb\") as f, z.open(path, \"w\", force_zip64=force) as w:\n"
        "                w.write(f.read())\n";
    // Each command runs in the source folder; the AES archives have the password "secret".
    const std::pair<const char*, std::string> makers[] = {
        {"zip.zip",
         "echo a comment | zip -q -r -9 -z ../made/zip.zip ."},  // the end record is not last
        {"zip-stored.zip", "zip -q -r -0 ../made/zip-stored.zip ."},
        {"zip-stream.zip", "zip -q -r - . > ../made/zip-stream.zip"},
        {"zip-split.zip", "zip -q -r -s 64k ../made/zip-split.zip ."},
        {"7z.zip", "7zz a -bd -bso0 -tzip -mx=7 ../made/7z.zip ."},
        {"7z-aes256.zip", "7zz a -bd -bso0 -tzip -mem=AES256 -psecret ../made/7z-aes256.zip ."},
        {"7z-aes128.zip", "7zz a -bd -bso0 -tzip -mem=AES128 -psecret ../made/7z-aes128.zip ."},
        {"bsdtar.zip", "bsdtar -cf ../made/bsdtar.zip --format zip ."},
        {"py-deflated.zip", "python3 -c " + inQuotes(python)},
        {"py-stored.zip", ""},
        {"py-zip64.zip", ""},
    };
    for (const auto& [name, command] : makers) {
        SCOPED_TRACE(name);
        std::string output;
        if (!command.empty()) {
            ASSERT_EQ(runCommand("cd " + inQuotes(source) + " && " + command, &output), 0)
                << output;
        }
        zip.settings.archivePath = folder / ("made/" + std::string(name));
        zip.settings.password = std::string(name).find("aes") != std::string::npos ? "secret" : "";
        observer.events.clear();
        EXPECT_EQ(zip.test(), kDone);
        EXPECT_EQ(observer.count("warning"), 0u);
        EXPECT_GE(observer.count("file-done"), 3u);
    }
}

}  // namespace
}  // namespace corvane::archive
