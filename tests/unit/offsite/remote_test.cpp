// Copies to real loopback servers of each kind: S3 (s3rver), SFTP with a password and with a
// key, and WebDAV (rclone serve), read back by other tools.
#include "offsite/offsite_copy.h"
#include "test_servers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <memory>

namespace corvane::test {
namespace {

constexpr std::size_t kMiB = 1024 * 1024;

class RemoteTest : public ::testing::TestWithParam<std::string> {
protected:
    static void TearDownTestSuite() { servers().clear(); }

    // One server of each kind serves every test of the suite; tests keep to their own folders.
    static TestServer& server() {
        auto& running = servers()[GetParam()];
        if (!running) {
            running = std::make_unique<TestServer>(GetParam());
            running->start();
        }
        return *running;
    }

    Result<offsite::CopyReport> copy(const offsite::OffsiteSettings& settings,
                                     const std::vector<std::string>& files) {
        m_progress.clear();
        return offsite::copyArchive(
            settings, files,
            [this](std::uint64_t done, std::uint64_t total) {
                m_progress.emplace_back(done, total);
            },
            m_cancel);
    }

    TempFolder local;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> m_progress;
    std::atomic<bool> m_cancel{false};

private:
    static std::map<std::string, std::unique_ptr<TestServer>>& servers() {
        static std::map<std::string, std::unique_ptr<TestServer>> all;
        return all;
    }
};

TEST_P(RemoteTest, ArchivesArriveByteForByteUnderTheirOwnNames) {
    const std::string folder = "round trip/\xc3\xa9t\xc3\xa9/";
    const std::string small = writeRandomFile(local / "12-06-2026 - Daily.bac", 100 * 1024, 1);
    const std::string large = writeRandomFile(local / "Daily.bac", 20 * kMiB + 3, 2);
    const auto settings = server().settings("Daily", folder);
    for (const auto& [name, bytes] :
         {std::pair{"12-06-2026 - Daily.bac", small}, {"Daily.bac", large}}) {
        const auto report = copy(settings, {local / name});
        ASSERT_TRUE(report) << report.error().description;
        ASSERT_EQ(report->files.size(), 1u);
        EXPECT_EQ(report->files[0].size, bytes.size());
        EXPECT_EQ(report->files[0].localPath, local / name);
        EXPECT_NE(report->files[0].remoteAddress.find(folder + name), std::string::npos);
        EXPECT_EQ(report->files[0].remoteAddress.find("ann"), std::string::npos);
        EXPECT_TRUE(report->pruneWarning.empty()) << report->pruneWarning;
        bool found = false;
        EXPECT_TRUE(server().readBack(folder, name, found) == bytes) << name;
        EXPECT_TRUE(found);
        ASSERT_FALSE(m_progress.empty());
        EXPECT_EQ(m_progress.back().first, bytes.size());
        EXPECT_EQ(m_progress.back().second, bytes.size());
        for (std::size_t i = 1; i < m_progress.size(); ++i) {
            EXPECT_LE(m_progress[i].first, m_progress[i].second);
        }
    }
    // A second copy under the same name replaces the first.
    const std::string again = writeRandomFile(local / "Daily.bac", 64 * 1024, 3);
    ASSERT_TRUE(copy(settings, {local / "Daily.bac"}));
    bool found = false;
    EXPECT_TRUE(server().readBack(folder, "Daily.bac", found) == again);
    EXPECT_EQ(server().namesIn(folder),
              (std::vector<std::string>{"12-06-2026 - Daily.bac", "Daily.bac"}));
}

TEST_P(RemoteTest, EveryVolumeOfASplitArchiveIsSent) {
    const std::vector<std::string> names = {"03-01-2026 - Daily.z01", "03-01-2026 - Daily.z02",
                                            "03-01-2026 - Daily.bac"};
    std::vector<std::string> contents;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < names.size(); ++i) {
        contents.push_back(
            writeRandomFile(local / names[i], i < 2 ? 9 * kMiB : 4096, 10 + unsigned(i)));
        files.push_back(local / names[i]);
    }
    const auto report = copy(server().settings("Daily", "split/"), files);
    ASSERT_TRUE(report) << report.error().description;
    ASSERT_EQ(report->files.size(), 3u);
    for (std::size_t i = 0; i < names.size(); ++i) {
        bool found = false;
        EXPECT_TRUE(server().readBack("split/", names[i], found) == contents[i]) << names[i];
        EXPECT_EQ(report->files[i].size, contents[i].size());
    }
    EXPECT_EQ(m_progress.back().first, 2 * 9 * kMiB + 4096);
}

TEST_P(RemoteTest, KeepLeavesTheNewestArchivesAndNothingElseIsTouched) {
    const auto settings = server().settings("Daily", "kept/", 7);
    writeFile(local / "notes.txt", "not an archive");
    writeFile(local / "01-01-2020 - Weekly.bac", "another set");
    writeFile(local / "01-01-2020 - Daily.bac.old", "renamed by hand");
    ASSERT_TRUE(copy(settings, {local / "notes.txt", local / "01-01-2020 - Weekly.bac",
                                local / "01-01-2020 - Daily.bac.old"}));
    std::vector<std::string> expected = {"01-01-2020 - Daily.bac.old", "01-01-2020 - Weekly.bac",
                                         "notes.txt"};
    for (int day = 1; day <= 9; ++day) {
        const std::string date = "04-0" + std::to_string(day) + "-2026 - Daily";
        std::vector<std::string> files;
        // The oldest archive is split, so its volumes must go with it.
        if (day == 1) {
            writeFile(local / (date + ".z01"), "volume one");
            files.push_back(local / (date + ".z01"));
        }
        writeFile(local / (date + ".bac"), "archive " + date);
        files.push_back(local / (date + ".bac"));
        const auto report = copy(settings, files);
        ASSERT_TRUE(report) << report.error().description;
        EXPECT_TRUE(report->pruneWarning.empty()) << report->pruneWarning;
        EXPECT_EQ(report->pruned.size(), day == 8 ? 2u : day == 9 ? 1u : 0u) << day;
        if (day >= 3) expected.push_back(date + ".bac");
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(server().namesIn("kept/"), expected);
}

TEST_P(RemoteTest, TestConnectionSendsListsAndDeletesAProbe) {
    const auto settings = server().settings("Daily", "probe/");
    const std::atomic<bool> cancel{false};
    const auto tested = offsite::testConnection(settings, cancel);
    EXPECT_TRUE(tested) << tested.error().description;
    EXPECT_TRUE(server().namesIn("probe/").empty());
}

INSTANTIATE_TEST_SUITE_P(Kinds, RemoteTest, kServerKinds, kindName);

}  // namespace
}  // namespace corvane::test
