#include "subprocess.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "temp_folder.h"

extern char** environ;

namespace corvane::test {

ProcessResult runProcess(const std::vector<std::string>& argv,
                         const std::vector<std::pair<std::string, std::string>>& environment) {
    TempFolder capture;
    const std::string outPath = capture / "out";
    const std::string errPath = capture / "err";

    std::vector<std::string> variables;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string variable = *entry;
        bool replaced = false;
        for (const auto& [name, value] : environment) {
            replaced = replaced || variable.rfind(name + "=", 0) == 0;
        }
        if (!replaced) variables.push_back(variable);
    }
    for (const auto& [name, value] : environment) variables.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (auto& variable : variables) envp.push_back(variable.data());
    envp.push_back(nullptr);
    std::vector<char*> args;
    for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int failure =
        posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ProcessResult result;
    if (failure != 0) {
        result.err = std::string("cannot start ") + argv[0] + ": " + std::strerror(failure);
        return result;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = readFile(outPath);
    result.err = readFile(errPath);
    return result;
}

std::string builtProgram(const std::string& relativePath) {
    const char* build = std::getenv("CORVANE_BUILD_DIR");
    return std::string(build != nullptr ? build : CORVANE_BUILD_DIR) + "/" + relativePath;
}

void requireTool(const std::string& name) {
    const ProcessResult found = runProcess({"sh", "-c", "command -v " + name});
    ASSERT_EQ(found.exitCode, 0) << "the outside tool '" << name
                                 << "' is missing: install it (scripts/install-deps)";
}

}  // namespace corvane::test
