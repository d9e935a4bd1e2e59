#include "test_servers.h"

#include "subprocess.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace corvane::test {

namespace {

constexpr const char* kUser = "ann";
constexpr const char* kPassword = "s3cret-Pass;word";
constexpr const char* kS3Key = "S3RVER";  // the only key s3rver accepts

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

bool accepts(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in address = loopback(port);
    const bool connected =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

// The environment of a server: rclone must not see a CA bundle meant for other clients.
std::vector<std::string> serverEnvironment() {
    std::vector<std::string> variables;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (std::strncmp(*entry, "AWS_CA_BUNDLE=", 14) != 0) variables.emplace_back(*entry);
    }
    return variables;
}

void writePrivateFile(const std::string& path, const std::string& content) {
    writeFile(path, content);
    ::chmod(path.c_str(), 0600);
}

std::vector<std::string> rcloneS3(const std::vector<std::string>& arguments, int port) {
    std::vector<std::string> argv = {"env",
                                     "-u",
                                     "AWS_CA_BUNDLE",
                                     "rclone",
                                     "--config",
                                     "/dev/null",
                                     "--s3-provider",
                                     "Other",
                                     "--s3-endpoint",
                                     "http://127.0.0.1:" + std::to_string(port),
                                     "--s3-access-key-id",
                                     kS3Key,
                                     "--s3-secret-access-key",
                                     kS3Key,
                                     "--s3-force-path-style"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return argv;
}

}  // namespace

int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = loopback(0);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

std::string writeRandomFile(const std::string& path, std::size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    std::uint64_t state = seed * 0x9E3779B97F4A7C15ull + 1;
    for (auto& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        byte = static_cast<char>(state >> 24);
    }
    writeFile(path, bytes);
    return bytes;
}

std::string kindName(const ::testing::TestParamInfo<std::string>& info) {
    std::string name = info.param;
    name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
    return name;
}

std::string s3rverProgram() {
    const char* given = std::getenv("CORVANE_S3RVER");
    return given != nullptr ? given : CORVANE_TEST_SERVERS_DIR "/node_modules/.bin/s3rver";
}

void ServerProcess::start(const std::vector<std::string>& argv, int port,
                          const std::string& logPath) {
    std::vector<std::string> variables = serverEnvironment();
    std::vector<char*> envp;
    for (auto& variable : variables)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    std::vector<char*> args;
    for (const auto& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                     0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    const int failed = posix_spawnp(&m_pid, args[0], &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ASSERT_EQ(failed, 0) << "cannot start " << argv[0] << ": " << std::strerror(failed)
                         << " (install it: scripts/install-deps)";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!accepts(port)) {
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            FAIL() << argv[0] << " ended before it listened on port " << port << ":\n"
                   << readFile(logPath);
        }
        if (std::chrono::steady_clock::now() > deadline) {
            kill();
            FAIL() << argv[0] << " did not listen on port " << port << " within 30 s:\n"
                   << readFile(logPath);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void ServerProcess::kill() {
    if (m_pid <= 0) return;
    ::kill(m_pid, SIGKILL);
    ::waitpid(m_pid, nullptr, 0);
    m_pid = -1;
}

void ServerProcess::stop() {
    if (m_pid <= 0) return;
    ::kill(m_pid, SIGTERM);
    ::waitpid(m_pid, nullptr, 0);
    m_pid = -1;
}

TestServer::TestServer(std::string kind) : m_kind(std::move(kind)), m_data(m_home / "data/") {
    makeFolder(m_data);
    makeFolder(m_home / "program");
    if (m_kind.rfind("sftp", 0) == 0) {
        for (const char* key : {"hostkey", "userkey"}) {
            const auto made =
                runProcess({"ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-f", m_home / key});
            EXPECT_EQ(made.exitCode, 0) << "ssh-keygen failed: " << made.err;
        }
    }
}

void TestServer::start() {
    if (m_port == 0) m_port = freePort();
    const std::string address = "127.0.0.1:" + std::to_string(m_port);
    std::vector<std::string> argv;
    if (m_kind == "s3") {
        ASSERT_EQ(::access(s3rverProgram().c_str(), X_OK), 0)
            << s3rverProgram() << " is missing: run scripts/install-test-servers";
        argv = {s3rverProgram(),
                "-d",
                m_data,
                "-a",
                "127.0.0.1",
                "-p",
                std::to_string(m_port),
                "-s",
                "--configure-bucket",
                "bucket"};
    } else if (m_kind == "webdav") {
        argv = {"rclone", "serve", "webdav", m_data, "--config", "/dev/null",
                "--addr", address, "--user", kUser,  "--pass",   kPassword};
    } else {
        std::ifstream hostKey(m_home / "hostkey.pub");
        std::string type, key;
        hostKey >> type >> key;
        writeFile(m_home / "known_hosts",
                  "[127.0.0.1]:" + std::to_string(m_port) + " " + type + " " + key + "\n");
        writeFile(m_home / "authorized_keys", readFile(m_home / "userkey.pub"));
        argv = {"rclone",
                "serve",
                "sftp",
                m_data,
                "--config",
                "/dev/null",
                "--addr",
                address,
                "--user",
                kUser,
                "--pass",
                kPassword,
                "--key",
                m_home / "hostkey",
                "--authorized-keys",
                m_home / "authorized_keys"};
    }
    m_process.start(argv, m_port, m_home / "server.log");
}

void TestServer::writeSettings(const std::string& programFolder, const std::string& setName,
                               const std::string& folder, int keep) const {
    const std::string origin = "127.0.0.1:" + std::to_string(m_port);
    std::string section = "[" + setName + "]\nKeep=" + std::to_string(keep) +
                          "\nCredentialsFile=" + m_kind + ".cred\n";
    std::string credentials;
    if (m_kind == "s3") {
        section +=
            "Url=s3://bucket/" + folder + "\nEndpoint=http://" + origin + "\nRegion=us-east-1\n";
        credentials = std::string("AccessKey=") + kS3Key + "\nSecretKey=" + kS3Key + "\n";
    } else if (m_kind == "webdav") {
        section += "Url=webdav://" + origin + "/" + folder + "\n";
        credentials = std::string("User=") + kUser + "\nPassword=" + kPassword + "\n";
    } else {
        section += "Url=sftp://" + std::string(kUser) + "@" + origin + "/" + folder + "\n";
        credentials = "KnownHostsFile=" + m_home / "known_hosts" + "\n" +
                      (m_kind == "sftp" ? std::string("Password=") + kPassword
                                        : "IdentityFile=" + m_home / "userkey") +
                      "\n";
    }
    writeFile(programFolder + "Offsite.ini", section);
    writePrivateFile(programFolder + m_kind + ".cred", credentials);
}

offsite::OffsiteSettings TestServer::settings(const std::string& setName, const std::string& folder,
                                              int keep) const {
    writeSettings(m_home / "program/", setName, folder, keep);
    auto read = offsite::readOffsiteSettings(m_home / "program/", setName);
    EXPECT_TRUE(read && read->has_value()) << (read ? "no section" : read.error().description);
    offsite::OffsiteSettings settings =
        read && read->has_value() ? **read : offsite::OffsiteSettings{};
    settings.retry.firstDelay = std::chrono::milliseconds(1);
    return settings;
}

std::string TestServer::readBack(const std::string& folder, const std::string& name,
                                 bool& found) const {
    if (m_kind == "s3") {
        // rclone cat prints nothing, successfully, for a missing object.
        const auto names = namesIn(folder);
        found = std::find(names.begin(), names.end(), name) != names.end();
        const auto read = runProcess(rcloneS3({"cat", ":s3:bucket/" + folder + name}, m_port));
        EXPECT_EQ(read.exitCode, 0) << read.err;
        return read.out;
    }
    found = fileExists(m_data + folder + name);
    return found ? readFile(m_data + folder + name) : std::string();
}

std::vector<std::string> TestServer::namesIn(const std::string& folder) const {
    std::vector<std::string> names;
    if (m_kind == "s3") {
        const auto listed = runProcess(rcloneS3({"lsf", ":s3:bucket/" + folder}, m_port));
        EXPECT_EQ(listed.exitCode, 0) << listed.err;
        std::istringstream lines(listed.out);
        for (std::string line; std::getline(lines, line);) {
            if (!line.empty()) names.push_back(line);
        }
    } else {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(m_data + folder, error)) {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace corvane::test
