#pragma once

#include "common/result.h"

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace corvane::restore {

// An open folder; closed when the last holder lets it go.
class FolderHandle {
public:
    explicit FolderHandle(int fd) : m_fd(fd) {}
    ~FolderHandle();
    FolderHandle(const FolderHandle&) = delete;
    FolderHandle& operator=(const FolderHandle&) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};
using FolderPtr = std::shared_ptr<FolderHandle>;

// What is at a path below the destination, seen without following links.
enum class PathState {
    Missing,      // nothing (or a folder on the way is still to be made)
    Folder,       // a real folder
    File,         // a regular file
    Link,         // a symbolic link (never followed)
    Other,        // a pipe, socket or device
    BlockedLink,  // a folder on the way is a symbolic link
    BlockedFile,  // a folder on the way is a file or something else
    Failed,       // the system refused to tell (permissions)
};

// The folders a restore writes into, numbered from the destination (folder 0). Every folder
// is reached from its parent with openat(O_NOFOLLOW): a link planted anywhere below the
// destination is never followed. Handles are kept open in a small cache; the calls that hand
// them out are thread-safe.
class FolderTable {
public:
    // Opens the destination itself, following links: the user named it.
    static Result<std::unique_ptr<FolderTable>> open(const std::string& root);
    ~FolderTable();

    static constexpr std::size_t kRoot = 0;

    // The folder `name` in `parent`, numbered on first use (parents always before children).
    std::size_t child(std::size_t parent, const std::string& name);
    // The folder `name` in `parent` if it was numbered.
    std::optional<std::size_t> find(std::size_t parent, const std::string& name) const;
    std::size_t count() const { return m_folders.size(); }
    std::size_t parentOf(std::size_t folder) const { return m_folders[folder].parent; }
    const std::string& nameOf(std::size_t folder) const { return m_folders[folder].name; }
    const std::string& rootPath() const { return m_root; }
    // The folder's path for the user: the root path joined with the names.
    std::string pathOf(std::size_t folder) const;

    // The state of a folder, looked at once and remembered; for folders made by make(), Folder.
    PathState state(std::size_t folder);
    // What is at `name` inside `folder` (Missing when the folder is), with its details.
    PathState probe(std::size_t folder, const std::string& name, struct stat* info = nullptr);
    // The nearest folder at or above `folder` that exists.
    std::size_t nearestExisting(std::size_t folder);

    // Makes a missing folder (mode 0700 until its own mode is applied), its parents first.
    Status make(std::size_t folder);
    bool madeHere(std::size_t folder) const { return m_folders[folder].made; }

    // An open handle of an existing folder.
    Result<FolderPtr> handle(std::size_t folder);

private:
    struct Folder {
        std::size_t parent = 0;
        std::string name;
        std::optional<PathState> state;
        bool made = false;
    };
    explicit FolderTable(std::string root, int rootFd);
    Result<FolderPtr> handleLocked(std::size_t folder);

    std::string m_root;
    std::vector<Folder> m_folders;
    std::map<std::pair<std::size_t, std::string>, std::size_t> m_index;
    std::map<std::size_t, FolderPtr> m_open;  // a cache, emptied when it grows large
    mutable std::recursive_mutex m_mutex;
};

// The error text for an errno value.
std::string systemText(int errnoValue);

}  // namespace corvane::restore
