#pragma once

#include "offsite/offsite_settings.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <sys/types.h>

#include <string>
#include <vector>

namespace corvane::test {

// A free TCP port on 127.0.0.1 (nothing listens there when this returns).
int freePort();

// A server program run by a test: started on a loopback port, ready once the port accepts
// connections, stopped (and reaped) when the object goes away.
class ServerProcess {
public:
    ServerProcess() = default;
    ~ServerProcess() { stop(); }
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    // Starts `argv` and waits until `port` accepts; fails the test when the program ends first
    // or the port stays closed for 30 seconds. Its output goes to `logPath`.
    void start(const std::vector<std::string>& argv, int port, const std::string& logPath);
    // Kills the server at once (SIGKILL) and waits until it is gone.
    void kill();
    // Asks the server to end (SIGTERM) and waits until it is gone.
    void stop();
    bool running() const { return m_pid > 0; }

private:
    pid_t m_pid = -1;
};

// One loopback server of a kind, with its data folder and the settings that reach it.
class TestServer {
public:
    // `kind` is "s3", "sftp" (password), "sftp-key" (identity file) or "webdav". The S3 server
    // holds the bucket "bucket"; sftp and webdav serve `dataFolder()`.
    explicit TestServer(std::string kind);

    void start();
    void kill() { m_process.kill(); }
    void stop() { m_process.stop(); }
    bool running() const { return m_process.running(); }
    int port() const { return m_port; }
    const std::string& kind() const { return m_kind; }
    const std::string& dataFolder() const { return m_data; }

    // Settings for the set `setName` with the files under `folder` ("a/b/", may be empty).
    offsite::OffsiteSettings settings(const std::string& setName, const std::string& folder,
                                      int keep = 0) const;
    // The same written as Offsite.ini and a private credentials file into `programFolder`.
    void writeSettings(const std::string& programFolder, const std::string& setName,
                       const std::string& folder, int keep = 0) const;

    // The bytes of `name` under `folder`, read back by a tool nobody here wrote (rclone for
    // S3) or from the served folder; empty optional-like: `found` false when it is missing.
    std::string readBack(const std::string& folder, const std::string& name, bool& found) const;
    // The names under `folder`, from the server's side.
    std::vector<std::string> namesIn(const std::string& folder) const;

private:
    std::string m_kind;
    TempFolder m_home;
    std::string m_data;
    int m_port = 0;
    ServerProcess m_process;
};

// Writes `size` pseudo-random bytes (from `seed`) to `path` and returns them.
std::string writeRandomFile(const std::string& path, std::size_t size, unsigned seed);

// Every kind of loopback server, for tests that run on each, and their names in test names.
inline const auto kServerKinds = ::testing::Values("s3", "sftp", "sftp-key", "webdav");
std::string kindName(const ::testing::TestParamInfo<std::string>& info);

// The s3rver program the tests start (installed by scripts/install-test-servers).
std::string s3rverProgram();

}  // namespace corvane::test
