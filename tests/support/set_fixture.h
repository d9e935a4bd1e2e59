#pragma once

#include "common/text.h"
#include "host/command_state.h"
#include "scripted_host.h"
#include "set_text.h"
#include "sets/set_document.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

namespace corvane::test {

// A program folder, a scripted host and an open-able set document, fresh for each test. The
// test fails if the logic showed a box or chooser the script did not expect.
class SetFixture : public ::testing::Test {
protected:
    SetFixture()
        : config(home.path()),
          commands(host),
          clock(fromLocal({2026, 12, 4, 10, 30, 0})),
          document({home.path(), config, flags, host, commands, clock, fileSystem}) {
        makeFolder(home / "Backup Sets");
        makeFolder(home / "data");
        config.loadAtStart();
    }

    void TearDown() override { host.checkScriptFinished(); }

    bool enabled(CommandId id) const { return commands.isEnabled(id); }

    // Writes a set file from fields (each quoted, CR LF) and returns its path.
    std::string writeSet(const std::string& name, const std::vector<std::string>& fields) {
        writeFile(home / ("Backup Sets/" + name), quotedFields(fields));
        return home / ("Backup Sets/" + name);
    }

    // The standard lines around `entries`, with the given option values.
    std::vector<std::string> setLines(const std::vector<std::string>& entries,
                                      const std::string& allFolders = "0") const {
        return setFileLines(entries, home / "out/$DATE$.bac", 9, 1, 0, allFolders);
    }

    OpenOutcome open(const std::string& path) {
        document.set().setPath = path;
        std::string folder;
        document.set().setName = fileNameOf(path, folder);
        return document.openSet();
    }

    // The outline of a set's tree: its three categories, then `entries`.
    static std::vector<std::string> withCategories(std::vector<std::string> entries) {
        entries.insert(entries.begin(), {"Files []", "Folders []", "Exclusions []"});
        return entries;
    }

    // The texts of the tree's nodes in index order, each with its parent's key in brackets.
    std::vector<std::string> treeOutline() const {
        std::vector<std::string> outline;
        const SetTree& tree = document.set().tree;
        for (std::size_t i = 1; i <= tree.count(); ++i) {
            const SetEntry& node = tree.at(i);
            outline.push_back(node.text + " [" + node.parent.value_or("") + "]");
        }
        return outline;
    }

    TempFolder home;
    ScriptedHost host;
    ConfigStore config;
    RunFlags flags;
    CommandState commands;
    ManualClock clock;
    RealFileSystem fileSystem;
    SetDocument document;
};

}  // namespace corvane::test
