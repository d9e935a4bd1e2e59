#include "restore_support.h"

#include "temp_folder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace corvane::restore::test {

namespace fs = std::filesystem;

namespace {

std::int64_t timeNs(const struct stat& info) {
    return static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
}

}  // namespace

TreeState treeState(const std::string& root) {
    TreeState tree;
    for (const auto& relative : allPaths(root)) {
        const std::string path = root + "/" + relative;
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0) {
            ADD_FAILURE() << "cannot look at " << path;
            continue;
        }
        NodeState node;
        node.mode = info.st_mode & 07777;
        node.mtimeNs = timeNs(info);
        if (S_ISDIR(info.st_mode)) {
            node.kind = 'd';
            tree[relative + "/"] = node;
        } else if (S_ISLNK(info.st_mode)) {
            node.kind = 'l';
            node.mode = 0;
            char target[4096];
            const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
            node.content.assign(target, static_cast<std::size_t>(std::max<ssize_t>(length, 0)));
            tree[relative] = node;
        } else {
            node.content = corvane::test::readFile(path);
            tree[relative] = node;
        }
    }
    return tree;
}

std::vector<std::string> allPaths(const std::string& root) {
    std::vector<std::string> paths;
    std::error_code error;
    const std::string prefix = root.empty() || root.back() != '/' ? root + "/" : root;
    for (auto it = fs::recursive_directory_iterator(root, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        paths.push_back(it->path().string().substr(prefix.size()));
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

std::vector<std::string> differences(const TreeState& expected, const TreeState& actual,
                                     std::int64_t precisionNs) {
    std::vector<std::string> found;
    for (const auto& [path, node] : expected) {
        const auto there = actual.find(path);
        if (there == actual.end()) {
            found.push_back("missing: " + path);
            continue;
        }
        const NodeState& got = there->second;
        if (got.kind != node.kind) found.push_back("kind: " + path);
        if (got.mode != node.mode) {
            found.push_back("mode: " + path + " " + std::to_string(got.mode) + " instead of " +
                            std::to_string(node.mode));
        }
        if (got.content != node.content) found.push_back("content: " + path);
        if (got.mtimeNs / precisionNs != node.mtimeNs / precisionNs) {
            found.push_back("time: " + path + " " + std::to_string(got.mtimeNs) + " instead of " +
                            std::to_string(node.mtimeNs));
        }
    }
    for (const auto& [path, node] : actual) {
        if (expected.count(path) == 0) found.push_back("unexpected: " + path);
    }
    return found;
}

RestoreSummary restoreArchive(RestoreEvents& events, const RestoreOptions& options,
                              std::optional<Action> answer) {
    Restorer restorer(events);
    archive::ArchiveListing listing;
    const int listed = restorer.list(options.archivePath, listing);
    if (listed != 0) {
        RestoreSummary failed;
        failed.status = statusOf(listed);
        failed.archiveResult = listed;
        return failed;
    }
    auto plan = restorer.plan(listing, options);
    if (!plan) {
        ADD_FAILURE() << plan.error().description;
        return {};
    }
    if (answer) {
        for (const std::size_t position : plan->conflicts())
            plan->decide(position, *answer);
    }
    return restorer.run(*plan, listing, options);
}

std::map<std::string, Outcome> outcomes(const RestoreSummary& summary) {
    std::map<std::string, Outcome> found;
    for (const auto& entry : summary.entries)
        found[entry.name] = entry.outcome;
    return found;
}

}  // namespace corvane::restore::test
