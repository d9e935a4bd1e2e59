#pragma once

#include "archive/archive_reading.h"
#include "archive_support.h"
#include "restore/restorer.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace corvane::restore::test {

// What a tree holds, path by path (relative, folders ending in "/"), as a restore must give it
// back: kind, permission bits, modification time, and content or link target.
struct NodeState {
    char kind = 'f';  // f file, d folder, l link
    unsigned mode = 0;
    std::int64_t mtimeNs = 0;
    std::string content;  // file data or link target

    friend bool operator==(const NodeState&, const NodeState&) = default;
};
using TreeState = std::map<std::string, NodeState>;

// The tree under `root`, links not followed.
TreeState treeState(const std::string& root);
// Every path under `root` (relative), for checking that nothing else appeared.
std::vector<std::string> allPaths(const std::string& root);
// Differences between two trees as readable lines; empty when equal. Times are compared to
// `precisionNs` (1 s for archives that store whole seconds).
std::vector<std::string> differences(const TreeState& expected, const TreeState& actual,
                                     std::int64_t precisionNs);

using archive::test::setTimeNs;

// Answers a restore's questions from queues and records them.
class ScriptedEvents final : public RestoreEvents {
public:
    void progress(const RestoreProgress& progress) override {
        ++progressCalls;
        last = progress;
        if (onProgress) onProgress(progress);
    }
    std::optional<std::string> password(bool again) override {
        asked.push_back(again ? "password again" : "password");
        if (passwords.empty()) return std::nullopt;
        auto answer = passwords.front();
        passwords.pop_front();
        return answer;
    }
    bool volumeMissing(int number, const std::string& expected, std::string& foundAt) override {
        asked.push_back("volume " + std::to_string(number));
        if (!onVolume) return false;
        return onVolume(number, expected, foundAt);
    }
    bool confirmLargeOutput(std::uint64_t, std::uint64_t) override {
        asked.push_back("large output");
        return allowLarge;
    }

    std::deque<std::optional<std::string>> passwords;
    std::function<bool(int, const std::string&, std::string&)> onVolume;
    std::function<void(const RestoreProgress&)> onProgress;
    bool allowLarge = false;
    std::vector<std::string> asked;
    int progressCalls = 0;
    RestoreProgress last;
};

// Lists, plans (answering every conflict with `answer` when given) and runs a restore.
RestoreSummary restoreArchive(RestoreEvents& events, const RestoreOptions& options,
                              std::optional<Action> answer = std::nullopt);

// The outcome of each entry by stored name.
std::map<std::string, Outcome> outcomes(const RestoreSummary& summary);

}  // namespace corvane::restore::test
