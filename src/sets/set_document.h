#pragma once

#include "common/result.h"
#include "config/config_store.h"
#include "host/command_state.h"
#include "host/host.h"
#include "host/run_flags.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "sets/backup_set.h"

#include <deque>
#include <string>
#include <unordered_set>

namespace corvane {

// What the set operations share with the rest of the program.
struct SetContext {
    std::string programFolder;  // with a trailing "/"
    ConfigStore& config;
    const RunFlags& flags;
    Host& host;
    CommandState& commands;
    const Clock& clock;
    const FileSystem& fileSystem;
};

enum class OpenOutcome {
    Opened,        // the set is open
    Incompatible,  // the file is not a set file; no set is open
    Abandoned,     // the user stopped at a missing entry; no set is open
    Failed,        // a read error stopped the open; no set is open
};

// The open Backup Set and every operation that reads, writes or edits it. Each operation keeps
// the tree's invariants, updates the commands and the status text, and talks to the user only
// through the host.
class SetDocument {
public:
    explicit SetDocument(SetContext context);

    BackupSet& set() { return m_set; }
    const BackupSet& set() const { return m_set; }
    // The services the document works with, shared by the dialogs that edit it.
    const SetContext& context() const { return m_context; }

    // Asks to save unsaved changes (Yes/No), empties the tree, disables the set commands and
    // reloads the configuration.
    void closeSet();
    // Closes the current set and starts an empty one named `name` in the "Backup Sets" folder.
    void newSet(const std::string& name);
    // Reads the file at setPath into the set. Unattended, a failure is appended to error.log and
    // the timed error screen is shown; the caller then ends the program.
    OpenOutcome openSet();
    // Opens the set file at `path` as the set named `name`, as the Open command and the
    // favourites do: the current path is kept as LoadedPath while the current set closes, so a
    // Yes to the save question writes that set to its own file.
    OpenOutcome openSetAt(const std::string& path, const std::string& name);
    // Writes the set to its file; false (after the error box) when it could not be written.
    bool saveSet();
    // Asks for a new file, makes its ".bac" twin the destination and saves there.
    void saveSetAs();

    // Adds a folder (and, with SubFolders on, the sub-folders found under it) under "Folders";
    // refuses an exact duplicate with a box.
    void addFolder(const std::string& path);
    // Adds a folder or file found on disk, for an all-folders open; passes over existing keys.
    void addSetItem(const std::string& path);
    // Asks for files and adds those not yet listed (ignoring case) under "Files".
    void addFiles();
    // Removes the selected entry with everything under it.
    void removeSelectedItem();
    // Adds the sub-folders of `root`, breadth first.
    void readFolderTree(const std::string& root);
    // Adds the three category nodes, expanded and sorted, as every new tree starts.
    void addCategories();

private:
    void enableContentCommands(bool enabled);
    void showSetNameStatus();
    void readOneFolder(const std::string& folder, std::deque<std::string>& queue);

    // Open helpers: report an unreadable or incompatible set and end the open.
    OpenOutcome reportOpenError(const Error& error);
    OpenOutcome reportIncompatible();
    // An error.log block that could not be written is reported to the host.
    void reportUnlogged(const Status& logged);
    void abandonOpen();

    SetContext m_context;
    BackupSet m_set;
};

}  // namespace corvane
