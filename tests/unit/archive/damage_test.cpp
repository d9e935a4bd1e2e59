// Testing damaged archives: each kind of damage gives its event and code, never a crash.
#include "archive/archiver.h"
#include "archive/zip_in.h"
#include "archive_support.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace corvane::archive {
namespace {

using test::readFile;
using test::writeFile;

// Where the parts of an entry are in a single-volume archive.
struct Layout {
    std::uint64_t local = 0;
    std::uint64_t data = 0;
    std::uint64_t central = 0;  // this entry's central record
    std::string name;
};

std::vector<Layout> layoutOf(const std::string& path) {
    VolumeReader volumes(path, nullptr);
    auto directory = readDirectory(volumes);
    EXPECT_TRUE(directory.ok());
    std::vector<Layout> layout;
    if (!directory) return layout;
    std::uint64_t central = directory->centralStart.offset;
    for (const auto& item : directory->items) {
        auto entry = readEntryHeader(
            item,
            [&](VolumePosition at, std::span<std::uint8_t> out) { return volumes.read(at, out); },
            0);
        EXPECT_TRUE(entry.ok());
        layout.push_back({item.localOffset, entry->dataStart.offset, central, item.name});
        central += zip::kCentralHeaderSize + item.name.size() + buildCentralExtra(item).size();
    }
    return layout;
}

class Damage : public ::testing::Test {
protected:
    void SetUp() override {
        corvane::test::makeFolder(folder / "src");
        writeFile(folder / "src/a.txt", test::textData(50000, 1));
        writeFile(folder / "src/b.txt", test::textData(40000, 2));
        writeFile(folder / "src/c.txt", test::textData(30000, 3));
        archive = folder / "backup.bac";
        zip.settings.archivePath = archive;
        zip.setObserver(&observer);
        zip.settings.includes.push_back(folder / "src/*.txt");  // files only
    }

    corvane::test::TempFolder folder;
    std::string archive;
    test::ZipUnderTest zip;
    test::RecordingObserver observer;
};

TEST_F(Damage, EachDamageGivesItsWarningAndCode) {
    ASSERT_EQ(zip.compress(), kDone);
    const std::string good = readFile(archive);
    const auto layout = layoutOf(archive);
    ASSERT_EQ(layout.size(), 3u);
    const Layout& b = layout[1];
    using Edit = std::function<void(std::string&)>;
    struct Case {
        const char* name;
        Edit edit;
        int code;
        std::vector<std::string> warnings;
    };
    const Case cases[] = {
        {"flipped data byte",
         [&](std::string& bytes) { bytes[b.data + 100] ^= 0x55; },
         kCrcMismatch,
         {b.name}},
        {"flipped local name",
         [&](std::string& bytes) { bytes[b.local + zip::kLocalHeaderSize + 2] ^= 1; },
         kNotZip,
         {b.name}},
        {"central CRC changed",
         [&](std::string& bytes) { bytes[b.central + 16] ^= 1; },
         kNotZip,
         {b.name}},
        {"overlapping entries",
         [&](std::string& bytes) {
             // c's record now points at b's data: the two overlap.
             const auto offset = b.local + 10;
             for (std::size_t byte = 0; byte < 4; ++byte)
                 bytes[layout[2].central + 42 + byte] = static_cast<char>(offset >> (8 * byte));
         },
         kNotZip,
         {layout[2].name}},  // the overlap; the entry is not read further
        {"declared size smaller than the data",
         [&](std::string& bytes) {
             // A bomb's trick: the data inflates to far more than the headers admit.
             for (const std::uint64_t at : {b.local + 22, b.central + 24}) {
                 bytes[at] = 10;
                 bytes[at + 1] = bytes[at + 2] = bytes[at + 3] = 0;
             }
         },
         kCrcMismatch,
         {b.name}},
        {"end cut off", [](std::string& bytes) { bytes.resize(bytes.size() - 30); }, kNotZip, {}},
        {"cut in half", [](std::string& bytes) { bytes.resize(bytes.size() / 2); }, kNotZip, {}},
        {"not a zip", [](std::string& bytes) { bytes = test::randomData(5000, 9); }, kNotZip, {}},
        {"empty", [](std::string& bytes) { bytes.clear(); }, kNotZip, {}},
    };
    for (const auto& test : cases) {
        std::string bytes = good;
        test.edit(bytes);
        writeFile(archive, bytes);
        observer.events.clear();
        EXPECT_EQ(zip.test(), test.code) << test.name;
        auto warnings = observer.names("warning");
        std::sort(warnings.begin(), warnings.end());
        EXPECT_EQ(warnings, test.warnings) << test.name;
    }
    std::filesystem::remove(archive);
    EXPECT_EQ(zip.test(), kCannotOpen);

    // Cancel at the warning stops the test as a cancel.
    std::string bytes = good;
    bytes[b.data + 100] ^= 0x55;
    writeFile(archive, bytes);
    observer.goOnAfterWarning = false;
    EXPECT_EQ(zip.test(), kAborted);
}

// The answers to the password prompt are in the password results test.
TEST_F(Damage, ChangedEncryptedDataFailsItsAuthenticationCode) {
    zip.settings.password = "right";
    ASSERT_EQ(zip.compress(), kDone);
    const auto layout = layoutOf(archive);
    std::string bytes = readFile(archive);
    bytes[layout[0].data + 40] ^= 0x10;
    writeFile(archive, bytes);
    EXPECT_EQ(zip.test(), kCrcMismatch);
    EXPECT_EQ(observer.names("warning"), std::vector<std::string>{layout[0].name});
}

}  // namespace
}  // namespace corvane::archive
