// Off-site copies that fail: a server that is down, that dies mid-upload, that refuses the
// credentials or answers with an error; and Cancel. The local files stay as they were, and no
// remote object shows under its final name.
#include "capture_server.h"
#include "offsite/offsite_copy.h"
#include "subprocess.h"
#include "test_servers.h"

#include <gtest/gtest.h>

#include <atomic>

namespace corvane::test {
namespace {

using offsite::Failure;

constexpr std::size_t kMiB = 1024 * 1024;

bool mentions(const Error& error, const std::string& text) {
    return error.description.find(text) != std::string::npos;
}

class FailureTest : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        server = std::make_unique<TestServer>(GetParam());
        archive = writeRandomFile(local / kName, 24 * kMiB, 7);
    }

    // Copies the archive; `onProgress` may act on the server or the cancel flag midway.
    Result<offsite::CopyReport> copy(const offsite::OffsiteSettings& settings,
                                     const std::function<void(std::uint64_t)>& onProgress = {}) {
        return offsite::copyArchive(
            settings, {local / kName},
            [&](std::uint64_t done, std::uint64_t) {
                if (onProgress) onProgress(done);
            },
            cancel);
    }

    void expectNoFinalObject() {
        if (!server->running()) server->start();
        bool found = true;
        server->readBack("f/", kName, found);
        EXPECT_FALSE(found) << "a partial upload shows under the final name";
        EXPECT_EQ(readFile(local / kName), archive) << "the local archive changed";
    }

    static constexpr const char* kName = "05-01-2026 - Daily.bac";
    TempFolder local;
    std::unique_ptr<TestServer> server;
    std::string archive;
    std::atomic<bool> cancel{false};
};

TEST_P(FailureTest, AServerThatIsDownIsUnreachableAfterThreeAttempts) {
    server->start();
    const auto settings = server->settings("Daily", "f/");
    server->stop();
    const auto copied = copy(settings);
    ASSERT_FALSE(copied);
    EXPECT_EQ(offsite::failureOf(copied.error()), Failure::Unreachable)
        << copied.error().description;
    EXPECT_TRUE(mentions(copied.error(), "3 attempts")) << copied.error().description;
}

TEST_P(FailureTest, AServerKilledMidUploadLeavesNoObjectUnderTheFinalName) {
    server->start();
    auto settings = server->settings("Daily", "f/");
    settings.retry.attempts = 1;
    const auto copied = copy(settings, [&](std::uint64_t done) {
        if (done > 4 * kMiB && server) server->kill();
    });
    ASSERT_FALSE(copied);
    const Failure kind = offsite::failureOf(copied.error());
    EXPECT_TRUE(kind == Failure::ConnectionDropped || kind == Failure::Unreachable)
        << copied.error().description;
    expectNoFinalObject();
}

TEST_P(FailureTest, ARetryCompletesTheCopyAfterTheServerComesBack) {
    server->start();
    const auto settings = server->settings("Daily", "f/");
    bool restarted = false;
    const auto copied = copy(settings, [&](std::uint64_t done) {
        if (done > 4 * kMiB && !restarted) {
            restarted = true;
            server->kill();
            server->start();
        }
    });
    ASSERT_TRUE(copied) << copied.error().description;
    bool found = false;
    EXPECT_TRUE(server->readBack("f/", kName, found) == archive);
}

TEST_P(FailureTest, RefusedCredentialsAreNotTriedAgain) {
    server->start();
    auto settings = server->settings("Daily", "f/");
    std::string secret = "wrong-secret";
    if (GetParam() == "s3") {
        settings.credentials.accessKey = "NOT-S3RVER";
        secret = settings.credentials.secretKey;
    } else if (GetParam() == "sftp-key") {
        ASSERT_EQ(runProcess({"ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-f", local / "other"})
                      .exitCode,
                  0);
        settings.credentials.identityFile = local / "other";
    } else {
        settings.credentials.password = secret;
    }
    const auto copied = copy(settings);
    ASSERT_FALSE(copied);
    EXPECT_EQ(offsite::failureOf(copied.error()), Failure::CredentialsRefused)
        << copied.error().description;
    EXPECT_FALSE(mentions(copied.error(), "attempts")) << copied.error().description;
    EXPECT_FALSE(mentions(copied.error(), secret)) << copied.error().description;
    EXPECT_TRUE(offsite::testConnection(settings, cancel).error().code ==
                static_cast<int>(Failure::CredentialsRefused));
}

TEST_P(FailureTest, CancelStopsTheUploadAndRemovesWhatWasSent) {
    server->start();
    const auto settings = server->settings("Daily", "f/");
    const auto copied = copy(settings, [&](std::uint64_t done) {
        if (done > 4 * kMiB) cancel = true;
    });
    ASSERT_FALSE(copied);
    EXPECT_EQ(offsite::failureOf(copied.error()), Failure::Cancelled) << copied.error().description;
    expectNoFinalObject();
    const auto left = server->namesIn("f/");
    EXPECT_TRUE(left.empty()) << "a partial object was left behind: " << left[0];
}

INSTANTIATE_TEST_SUITE_P(Kinds, FailureTest, kServerKinds, kindName);

TEST(HostKeys, AnUnknownHostKeyIsRefused) {
    TestServer server("sftp");
    server.start();
    auto settings = server.settings("Daily", "f/");
    TempFolder other;
    writeFile(
        other / "known_hosts",
        "[127.0.0.1]:" + std::to_string(server.port()) +
            " ssh-ed25519 AAAAC3NzaC1lZDI1NTE5AAAAILOxCCSQhX5EhV9phu1RR6SJEd92ISIhT9fKrS8ATohZ\n");
    settings.credentials.knownHostsFile = other / "known_hosts";
    const std::atomic<bool> cancel{false};
    const auto tested = offsite::testConnection(settings, cancel);
    ASSERT_FALSE(tested);
    EXPECT_EQ(offsite::failureOf(tested.error()), Failure::Unreachable)
        << tested.error().description;
    EXPECT_TRUE(server.namesIn("f/").empty());
}

// S3 settings aimed at a capture server, with no wait between attempts.
offsite::OffsiteSettings captureSettings(const CaptureServer& capture) {
    offsite::OffsiteSettings settings;
    settings.setName = "Daily";
    settings.location.bucket = "bucket";
    settings.endpoint = "http://127.0.0.1:" + std::to_string(capture.port());
    settings.region = "us-east-1";
    settings.credentials.accessKey = "AKID";
    settings.credentials.secretKey = "secret";
    settings.retry.firstDelay = std::chrono::milliseconds(1);
    return settings;
}

// Answers no loopback server here gives, played by a capture server: how each is classed and
// how often it is tried.
TEST(ServerAnswers, EachFailureKindIsToldApart) {
    const struct {
        int status;
        std::string body;
        Failure kind;
        std::size_t requests;
    } cases[] = {
        {403, "<Error><Code>SignatureDoesNotMatch</Code></Error>", Failure::CredentialsRefused, 1},
        {401, "", Failure::CredentialsRefused, 1},
        {507, "", Failure::OutOfSpace, 1},
        {413, "", Failure::OutOfSpace, 1},
        {400, "<Error><Code>EntityTooLarge</Code><Message>Too big</Message></Error>",
         Failure::OutOfSpace, 1},
        {503, "<Error><Code>SlowDown</Code></Error>", Failure::ServerFault, 3},
        {404, "<Error><Code>NoSuchBucket</Code></Error>", Failure::NotFound, 1},
        {400, "<Error><Code>InvalidArgument</Code></Error>", Failure::Refused, 1},
    };
    TempFolder local;
    writeFile(local / "a.bac", "archive");
    const std::atomic<bool> cancel{false};
    for (const auto& [status, body, kind, requests] : cases) {
        CaptureServer capture([&](const CaptureServer::Request&) {
            return CaptureServer::Answer{status, {}, body};
        });
        const auto copied =
            offsite::copyArchive(captureSettings(capture), {local / "a.bac"}, {}, cancel);
        ASSERT_FALSE(copied);
        EXPECT_EQ(offsite::failureOf(copied.error()), kind)
            << status << " " << copied.error().description;
        EXPECT_EQ(capture.requests().size(), requests) << status << " " << body;
    }
}

TEST(LocalFiles, FilesThatCannotBeSentAreRefusedBeforeAnyRequest) {
    CaptureServer capture([](const CaptureServer::Request&) { return CaptureServer::Answer{}; });
    TempFolder local;
    writeFile(local / "good.bac", "archive");
    makeFolder(local / "folder");
    writeFile(local / "two\nlines.bac", "archive");
    const auto settings = captureSettings(capture);
    const std::atomic<bool> cancel{false};
    const struct {
        std::vector<std::string> files;
        std::string reason;
    } cases[] = {
        {{}, "no archive file was given"},
        {{local / "good.bac", local / "missing.bac"},
         "missing.bac cannot be opened: File not found"},
        {{local / "folder"}, "is not a regular file"},
        {{local.path()}, "does not name a file"},
        {{local / "two\nlines.bac"}, "holds a control character"},
    };
    for (const auto& [files, reason] : cases) {
        const auto copied = offsite::copyArchive(settings, files, {}, cancel);
        ASSERT_FALSE(copied);
        EXPECT_EQ(offsite::failureOf(copied.error()), Failure::LocalFile);
        EXPECT_TRUE(mentions(copied.error(), reason)) << copied.error().description;
    }
    EXPECT_TRUE(capture.requests().empty());
}

TEST(ServerAnswers, AFailedPartAbortsTheMultipartUpload) {
    CaptureServer capture([](const CaptureServer::Request& request) {
        if (request.method == "POST") {
            return CaptureServer::Answer{200, {}, "<R><UploadId>up-1</UploadId></R>"};
        }
        if (request.method == "DELETE") return CaptureServer::Answer{204, {}, ""};
        return CaptureServer::Answer{507, {}, ""};
    });
    TempFolder local;
    writeRandomFile(local / "big.bac", 9 * kMiB, 4);
    auto settings = captureSettings(capture);
    settings.location.folder = "pc/";
    const std::atomic<bool> cancel{false};
    const auto copied = offsite::copyArchive(settings, {local / "big.bac"}, {}, cancel);
    ASSERT_FALSE(copied);
    EXPECT_EQ(offsite::failureOf(copied.error()), Failure::OutOfSpace);
    const auto requests = capture.requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].target, "/bucket/pc/big.bac?uploads=");
    EXPECT_EQ(requests[1].target, "/bucket/pc/big.bac?partNumber=1&uploadId=up-1");
    EXPECT_EQ(requests[2].method, "DELETE");
    EXPECT_EQ(requests[2].target, "/bucket/pc/big.bac?uploadId=up-1");
}

}  // namespace
}  // namespace corvane::test
