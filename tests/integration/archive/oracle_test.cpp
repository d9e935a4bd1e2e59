// Archives of every shape the component writes, read by tools nobody here wrote (7-Zip,
// Info-ZIP, Python's zipfile, libarchive), and archives those tools write, read by the
// component. A missing tool fails these tests.
#include "archive/archiver.h"
#include "archive_support.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace corvane::archive {
namespace {

namespace fs = std::filesystem;
using test::runCommand;
using test::writeFile;

std::string shellQuoted(const std::string& text) {
    return "'" + text + "'";
}

// The oracles. Each returns its output on failure, empty text on success.
std::string sevenZipTest(const std::string& path, const std::string& password = {}) {
    std::string output;
    const int status =
        runCommand("7zz t -bd -p" + shellQuoted(password) + " " + shellQuoted(path), &output);
    return status == 0 && output.find("Everything is Ok") != std::string::npos ? "" : output;
}

std::string unzipTest(const std::string& path) {
    std::string output;
    return runCommand("unzip -tq " + shellQuoted(path), &output) == 0 ? "" : output;
}

std::string pythonTest(const std::string& path) {
    std::string output;
    const std::string script =
        "import sys, zipfile\n"
        "with zipfile.ZipFile(sys.argv[1]) as z:\n"
        "    bad = z.testzip()\n"
        "    print(len(z.infolist()))\n"
        "    sys.exit(1 if bad else 0)\n";
    return runCommand("python3 -c " + shellQuoted(script) + " " + shellQuoted(path), &output) == 0
               ? ""
               : output;
}

// bsdtar lists the entries; the count must match.
std::string bsdtarList(const std::string& path, std::size_t entries) {
    std::string output;
    if (runCommand("bsdtar -tf " + shellQuoted(path), &output) != 0) return output;
    const auto lines = static_cast<std::size_t>(std::count(output.begin(), output.end(), '\n'));
    return lines == entries ? ""
                            : "bsdtar listed " + std::to_string(lines) + " entries:\n" + output;
}

// zip -s 0 joins a split archive into one file that unzip can test.
std::string joinAndUnzip(const std::string& path, const std::string& joined) {
    std::string output;
    if (runCommand("zip -q -s 0 " + shellQuoted(path) + " --out " + shellQuoted(joined), &output) !=
        0)
        return output;
    return unzipTest(joined);
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
        writeFile(source + "big.txt", test::textData(2'600'000, 3));  // written in pieces
        ASSERT_EQ(::symlink("docs/notes.txt", (source + "link").c_str()), 0);
        zip.setObserver(&observer);
    }

    static constexpr std::size_t kEntries = 7;  // files, the link and the empty folder

    corvane::test::TempFolder folder;
    std::string source;
    Archiver zip;
    test::RecordingObserver observer;
};

TEST_F(Oracles, SingleArchivesOfEveryLevelAndEncryptionAreReadByEveryTool) {
    struct Shape {
        const char* name;
        int level;
        const char* password;
    };
    const Shape shapes[] = {{"stored", 0, ""},
                            {"level 1", 1, ""},
                            {"level 6", 6, ""},
                            {"level 9", 9, ""},
                            {"encrypted", 6, "pa55 word"}};
    for (const auto& shape : shapes) {
        SCOPED_TRACE(shape.name);
        const std::string archive =
            folder / (std::string("backup-") + std::to_string(shape.level) + ".bac");
        zip.archivePath = archive;
        zip.clearLists();
        zip.addInclude(source + "*");
        zip.level = shape.level;
        zip.password = shape.password;
        ASSERT_EQ(zip.compress(), kDone);
        EXPECT_EQ(sevenZipTest(archive, shape.password), "");
        EXPECT_EQ(bsdtarList(archive, kEntries), "");
        if (*shape.password == '\0') {
            EXPECT_EQ(unzipTest(archive), "");
            EXPECT_EQ(pythonTest(archive), "");
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
    zip.archivePath = folder / "many.bac";
    zip.addInclude(many + "*");
    ASSERT_EQ(zip.compress(), kDone);
    EXPECT_EQ(zip.test(), kDone);
    EXPECT_EQ(sevenZipTest(zip.archivePath), "");
    EXPECT_EQ(unzipTest(zip.archivePath), "");
    EXPECT_EQ(pythonTest(zip.archivePath), "");
    EXPECT_EQ(bsdtarList(zip.archivePath, kFiles), "");
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
    zip.archivePath = archive;
    zip.addInclude(many + "*");
    zip.spanDisks = true;
    zip.diskSize = 64 * 1024;
    ASSERT_EQ(zip.compress(), kDone);
    ASSERT_TRUE(fs::exists(folder / "split/backup.z03"));
    EXPECT_EQ(sevenZipTest(archive), "");
    const std::string joined = folder / "joined.zip";
    EXPECT_EQ(joinAndUnzip(archive, joined), "");
    EXPECT_EQ(pythonTest(joined), "");
    EXPECT_EQ(bsdtarList(joined, 60), "");
}

TEST_F(Oracles, SpannedArchivesWithDiskChangesAreReadOnceTheDisksAreTogether) {
    corvane::test::makeFolder(folder / "drive");
    corvane::test::makeFolder(folder / "removed");
    const std::string archive = folder / "drive/backup.zip";
    zip.archivePath = archive;
    writeFile(source + "docs/more.bin", test::randomData(100000, 4));
    writeFile(source + "docs/extra.bin", test::randomData(80000, 5));
    zip.addInclude(source + "docs/*");
    zip.spanDisks = true;
    zip.diskSize = 128 * 1024;  // no entry spans more than two volumes (see above)
    // The user takes each finished disk out before inserting the next one.
    observer.insertDisk = [&](int) {
        for (const auto& entry : fs::directory_iterator(folder / "drive")) {
            fs::rename(entry.path(), folder / ("removed/" + entry.path().filename().string()));
        }
        return true;
    };
    ASSERT_EQ(zip.compress(), kDone);
    EXPECT_GE(observer.count("insert-disk"), 2u);
    for (const auto& entry : fs::directory_iterator(folder / "removed")) {
        fs::rename(entry.path(), folder / ("drive/" + entry.path().filename().string()));
    }
    EXPECT_EQ(sevenZipTest(archive), "");
    const std::string joined = folder / "joined.zip";
    EXPECT_EQ(joinAndUnzip(archive, joined), "");
    EXPECT_EQ(bsdtarList(joined, 5), "");
}

TEST_F(Oracles, FreshenedArchivesStayReadable) {
    const std::string archive = folder / "fresh.bac";
    zip.archivePath = archive;
    zip.addInclude(source + "*");
    ASSERT_EQ(zip.compress(), kDone);
    writeFile(source + "docs/notes.txt", test::textData(150000, 9));
    writeFile(source + "added.txt", "added later");
    test::setModificationTime(source + "docs/notes.txt", 4000000000);
    zip.skipIfNotNewer = true;
    ASSERT_EQ(zip.compress(), kDone);
    EXPECT_EQ(sevenZipTest(archive), "");
    EXPECT_EQ(unzipTest(archive), "");
    EXPECT_EQ(pythonTest(archive), "");
    EXPECT_EQ(bsdtarList(archive, kEntries + 1), "");
}

TEST_F(Oracles, ArchivesOfOtherToolsPassTheComponentsTest) {
    const std::string out = folder / "made/";
    corvane::test::makeFolder(out);
    const std::string python =
        "import sys, zipfile\n"
        "for name, method, force in ((\"py-deflated.zip\", zipfile.ZIP_DEFLATED, False),\n"
        "                            (\"py-stored.zip\", zipfile.ZIP_STORED, False),\n"
        "                            (\"py-zip64.zip\", zipfile.ZIP_DEFLATED, True)):\n"
        "    with zipfile.ZipFile(sys.argv[1] + name, \"w\", method) as z:\n"
        "        for path in (\"docs/notes.txt\", \"docs/photo.jpg\", \"big.txt\"):\n"
        "            with open(sys.argv[2] + path, \"rb\") as f, z.open(path, \"w\", "
        "force_zip64=force) as w:\n"
        "                w.write(f.read())\n";
    struct Maker {
        const char* archive;
        std::string command;
        const char* password;
    };
    const Maker makers[] = {
        {"zip.zip",
         "cd " + shellQuoted(source) + " && zip -q -r -9 " + shellQuoted(out + "zip.zip") + " .",
         ""},
        {"zip-stored.zip",
         "cd " + shellQuoted(source) + " && zip -q -r -0 " + shellQuoted(out + "zip-stored.zip") +
             " .",
         ""},
        {"zip-stream.zip",
         "cd " + shellQuoted(source) + " && zip -q -r - . > " + shellQuoted(out + "zip-stream.zip"),
         ""},
        {"zip-split.zip",
         "cd " + shellQuoted(source) + " && zip -q -r -s 64k " +
             shellQuoted(out + "zip-split.zip") + " .",
         ""},
        {"7z.zip",
         "7zz a -bd -bso0 -tzip -mx=7 " + shellQuoted(out + "7z.zip") + " " +
             shellQuoted(source + "."),
         ""},
        {"7z-aes256.zip",
         "7zz a -bd -bso0 -tzip -mem=AES256 -psecret " + shellQuoted(out + "7z-aes256.zip") + " " +
             shellQuoted(source + "."),
         "secret"},
        {"7z-aes128.zip",
         "7zz a -bd -bso0 -tzip -mem=AES128 -psecret " + shellQuoted(out + "7z-aes128.zip") + " " +
             shellQuoted(source + "."),
         "secret"},
        {"bsdtar.zip",
         "cd " + shellQuoted(source) + " && bsdtar -cf " + shellQuoted(out + "bsdtar.zip") +
             " --format zip .",
         ""},
        {"py-deflated.zip",
         "python3 -c " + shellQuoted(python) + " " + shellQuoted(out) + " " + shellQuoted(source),
         ""},
        {"py-stored.zip", "", ""},
        {"py-zip64.zip", "", ""},
    };
    for (const auto& maker : makers) {
        SCOPED_TRACE(maker.archive);
        std::string output;
        if (!maker.command.empty()) {
            ASSERT_EQ(runCommand(maker.command, &output), 0) << output;
        }
        zip.archivePath = out + maker.archive;
        zip.password = maker.password;
        observer.events.clear();
        EXPECT_EQ(zip.test(), kDone);
        EXPECT_EQ(observer.count("warning"), 0u);
        EXPECT_GE(observer.count("file-done"), 3u);
    }
}

}  // namespace
}  // namespace corvane::archive
