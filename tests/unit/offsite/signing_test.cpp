// The Signature Version 4 requests libcurl signs for the S3 remote are signed again by botocore
// (a signer nobody here wrote) from what a capture server received: the same credentials, body
// and time must give the same signature, so the canonical request (path encoding, query order,
// signed headers, payload hash) agrees.
#include "capture_server.h"
#include "offsite/offsite_copy.h"
#include "subprocess.h"
#include "test_servers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <sstream>

namespace corvane::test {
namespace {

std::string jsonText(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

TEST(Signing, BotocoreSignsEveryS3RequestTheSameWay) {
    requireTool("python3");
    TempFolder local;
    const std::string uploadId = "2~id/with+odd=chars";
    std::map<std::string, std::size_t> sizes;  // object path -> bytes, for HEAD
    CaptureServer capture([&](const CaptureServer::Request& request) {
        const std::string path = request.target.substr(0, request.target.find('?'));
        if (request.method == "PUT" && request.target.find("partNumber") == std::string::npos) {
            sizes[path] = request.body.size();
        }
        if (request.method == "POST" && request.target.find("uploads=") != std::string::npos) {
            return CaptureServer::Answer{200, {}, "<R><UploadId>" + uploadId + "</UploadId></R>"};
        }
        if (request.method == "POST") {
            sizes[path] = 9 * 1024 * 1024 + 1;
            return CaptureServer::Answer{200, {}, "<CompleteMultipartUploadResult/>"};
        }
        if (request.method == "HEAD")
            return CaptureServer::Answer{200, {}, std::string(sizes[path], 'x')};
        if (request.method == "GET") {
            return CaptureServer::Answer{
                200, {}, "<ListBucketResult><IsTruncated>false</IsTruncated></ListBucketResult>"};
        }
        return CaptureServer::Answer{200, {"ETag: \"0123\""}, ""};
    });
    writeRandomFile(local / "06-01-2026 - Daily.z01", 9 * 1024 * 1024 + 1, 5);
    writeFile(local / "06-01-2026 - Daily.bac", "small archive, one request");
    offsite::OffsiteSettings settings;
    settings.setName = "Daily";
    settings.location.bucket = "bucket";
    settings.location.folder = "My PC/é+x/";
    settings.endpoint = "http://127.0.0.1:" + std::to_string(capture.port());
    settings.region = "eu-central-1";
    settings.keep = 3;
    settings.credentials.accessKey = "AKIDEXAMPLE";
    settings.credentials.secretKey = "wJalrXUtnFEMI/K7MDENG+bPxRfiCYEXAMPLEKEY";
    const std::atomic<bool> cancel{false};
    const auto copied = offsite::copyArchive(
        settings, {local / "06-01-2026 - Daily.z01", local / "06-01-2026 - Daily.bac"}, {}, cancel);
    ASSERT_TRUE(copied) << copied.error().description;

    const auto requests = capture.requests();
    std::ostringstream json;
    json << "{\"accessKey\":" << jsonText(settings.credentials.accessKey)
         << ",\"secretKey\":" << jsonText(settings.credentials.secretKey)
         << ",\"region\":" << jsonText(settings.region) << ",\"requests\":[";
    std::multiset<std::string> seen;
    for (std::size_t i = 0; i < requests.size(); ++i) {
        const auto& request = requests[i];
        const std::string bodyFile = local / ("body" + std::to_string(i));
        writeFile(bodyFile, request.body);
        json << (i > 0 ? "," : "") << "{\"method\":" << jsonText(request.method)
             << ",\"target\":" << jsonText(request.target) << ",\"bodyFile\":" << jsonText(bodyFile)
             << ",\"headers\":{";
        bool first = true;
        for (const auto& [name, value] : request.headers) {
            json << (first ? "" : ",") << jsonText(name) << ":" << jsonText(value);
            first = false;
        }
        json << "}}";
        seen.insert(request.method + " " + request.target);
    }
    json << "]}";
    writeFile(local / "requests.json", json.str());

    // Every kind of request the remote makes was recorded, with query parameters in order.
    const std::string object = "/bucket/My%20PC/%C3%A9%2Bx/06-01-2026%20-%20Daily";
    for (const auto& expected : std::vector<std::string>{
             "POST " + object + ".z01?uploads=",
             "PUT " + object + ".z01?partNumber=1&uploadId=2~id%2Fwith%2Bodd%3Dchars",
             "POST " + object + ".z01?uploadId=2~id%2Fwith%2Bodd%3Dchars",
             "HEAD " + object + ".z01", "PUT " + object + ".bac", "HEAD " + object + ".bac",
             std::string("GET /bucket?delimiter=%2F&list-type=2&prefix=My%20PC%2F%C3%A9%2Bx%2F")}) {
        EXPECT_EQ(seen.count(expected), 1u) << expected;
    }
    const auto checked = runProcess(
        {"python3", CORVANE_OFFSITE_TEST_DIR "/sigv4_check.py", local / "requests.json"});
    ASSERT_EQ(checked.exitCode, 0) << checked.err;
    std::istringstream lines(checked.out);
    std::size_t count = 0;
    for (std::string line; std::getline(lines, line); ++count) {
        EXPECT_NE(line.find(" OK"), std::string::npos) << line;
    }
    EXPECT_EQ(count, requests.size()) << checked.out;
    const auto put = std::find_if(requests.begin(), requests.end(), [](const auto& request) {
        return request.method == "PUT" && request.target.find('?') == std::string::npos;
    });
    ASSERT_NE(put, requests.end());
    // The MD5 of "small archive, one request", as `openssl md5 -binary | base64` gives it.
    EXPECT_EQ(put->headers.at("content-md5"), "TiPUmltFLPI9dMay6z+4OA==");
}

}  // namespace
}  // namespace corvane::test
