// Files that change while a run reads them are never stored as a mix of old and new content:
// the entry is left out with its own reason (527), and an update keeps the archived copy.
#include "archive/archiver.h"
#include "archive/file_selection.h"
#include "archive/result_codes.h"
#include "archive_support.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <ctime>
#include <functional>

namespace corvane::archive {
namespace {

using test::readFile;
using test::writeFile;

// Runs `change` once, when the run first reports progress inside `path`.
class ChangingObserver : public test::RecordingObserver {
public:
    void onFileProgress(const std::string& name, int percent, bool last) override {
        if (!last && name == progressPath && change) {
            change();
            change = nullptr;
        }
        RecordingObserver::onFileProgress(name, percent, last);
    }
    std::string progressPath;
    std::function<void()> change;
};

void appendTo(const std::string& path, const std::string& text) {
    writeFile(path, readFile(path) + text);
}

TEST(ChangingFiles, AFileThatChangesWhileReadIsLeftOutNotMixed) {
    enum class When { AfterTheWalk, DuringTheRead };
    struct Case {
        const char* name;
        std::size_t size;
        When when;
        std::function<void(const std::string&)> change;
        bool freshen = false;
    };
    const auto shrink = [](const std::string& path) {
        ASSERT_EQ(::truncate(path.c_str(), 1000), 0);
    };
    const auto grow = [](const std::string& path) { appendTo(path, "more"); };
    const auto rewrite = [](const std::string& path) {
        std::string text = readFile(path);
        text[10] = '#';
        writeFile(path, text);
        test::setModificationTime(path, ::time(nullptr) + 50);
    };
    const Case cases[] = {
        {"small file shrinks", 50'000, When::AfterTheWalk, shrink},
        {"small file grows", 50'000, When::AfterTheWalk, grow},
        {"small file rewritten at its size", 50'000, When::AfterTheWalk, rewrite},
        {"large file cut while its pieces are read", 40'000'000, When::DuringTheRead, shrink},
        {"large file grows while its pieces are read", 40'000'000, When::DuringTheRead, grow},
        {"freshen keeps the archived copy", 50'000, When::AfterTheWalk, shrink, true},
        {"freshen keeps the archived copy of a large file", 40'000'000, When::DuringTheRead,
         shrink, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        corvane::test::TempFolder folder;
        corvane::test::makeFolder(folder / "src");
        const std::string changing = folder / "src/changing.txt";
        const std::string other = folder / "src/other.txt";
        writeFile(changing, test::textData(c.size, 1));
        writeFile(other, test::textData(30'000, 2));
        test::ZipUnderTest zip;
        ChangingObserver observer;
        zip.setObserver(&observer);
        zip.settings.archivePath = folder / "backup.bac";
        zip.settings.includes = {folder / "src/*.txt"};
        std::string archived;
        if (c.freshen) {
            ASSERT_EQ(zip.compress(), kDone);
            archived = readFile(changing);
            writeFile(changing, test::textData(c.size, 3));
            test::setModificationTime(changing, ::time(nullptr) + 100);
            zip.settings.skipIfNotNewer = true;
        }
        if (c.when == When::AfterTheWalk) {
            observer.preprocessing = [&](const std::string& name, std::uint64_t, std::string&) {
                if (name == changing) c.change(changing);
                return true;
            };
        } else {
            observer.progressPath = changing;
            observer.change = [&] { c.change(changing); };
        }
        EXPECT_EQ(zip.compress(), kDoneWithWarnings);
        std::vector<std::pair<std::string, std::int64_t>> warnings;  // freshen also says "not newer"
        for (const auto& event : observer.events) {
            if (event.kind == "skipped" && event.value != kSkipNotNewer) {
                warnings.emplace_back(event.name, event.value);
            }
        }
        EXPECT_EQ(warnings, (std::vector<std::pair<std::string, std::int64_t>>{
                                {changing, kSkipChangedWhileRead}}));
        EXPECT_EQ(zip.test(), kDone);
        const auto entries = test::extractAll(zip.settings.archivePath);
        EXPECT_EQ(entries.at(storedNameFor(other)).content, readFile(other));
        if (c.freshen) {
            ASSERT_EQ(entries.count(storedNameFor(changing)), 1u);
            EXPECT_TRUE(entries.at(storedNameFor(changing)).content == archived);
        } else {
            EXPECT_EQ(entries.count(storedNameFor(changing)), 0u);
        }
    }
}

}  // namespace
}  // namespace corvane::archive
