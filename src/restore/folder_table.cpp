#include "restore/folder_table.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace corvane::restore {

namespace {

constexpr std::size_t kMaxOpen = 256;
constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

PathState stateOf(const struct stat& info) {
    if (S_ISDIR(info.st_mode)) return PathState::Folder;
    if (S_ISREG(info.st_mode)) return PathState::File;
    if (S_ISLNK(info.st_mode)) return PathState::Link;
    return PathState::Other;
}

Error failure(int errnoValue, const std::string& what) {
    return Error{errnoValue, what + ": " + systemText(errnoValue)};
}

}  // namespace

std::string systemText(int errnoValue) {
    char buffer[256];
    return ::strerror_r(errnoValue, buffer, sizeof buffer);
}

FolderHandle::~FolderHandle() {
    if (m_fd >= 0) ::close(m_fd);
}

Result<std::unique_ptr<FolderTable>> FolderTable::open(const std::string& root) {
    const int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return failure(errno, "cannot open the folder " + root);
    return std::unique_ptr<FolderTable>(new FolderTable(root, fd));
}

FolderTable::FolderTable(std::string root, int rootFd) : m_root(std::move(root)) {
    m_folders.push_back(Folder{kRoot, {}, PathState::Folder, false});
    m_open[kRoot] = std::make_shared<FolderHandle>(rootFd);
}

FolderTable::~FolderTable() = default;

std::size_t FolderTable::child(std::size_t parent, const std::string& name) {
    std::lock_guard lock(m_mutex);
    const auto [at, added] = m_index.try_emplace({parent, name}, m_folders.size());
    if (added) m_folders.push_back(Folder{parent, name, std::nullopt, false});
    return at->second;
}

std::optional<std::size_t> FolderTable::find(std::size_t parent, const std::string& name) const {
    std::lock_guard lock(m_mutex);
    const auto at = m_index.find({parent, name});
    if (at == m_index.end()) return std::nullopt;
    return at->second;
}

std::string FolderTable::pathOf(std::size_t folder) const {
    std::vector<const std::string*> names;
    for (std::size_t at = folder; at != kRoot; at = m_folders[at].parent)
        names.push_back(&m_folders[at].name);
    std::string path = m_root;
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        if (path.empty() || path.back() != '/') path += '/';
        path += **name;
    }
    return path;
}

PathState FolderTable::state(std::size_t folder) {
    std::lock_guard lock(m_mutex);
    Folder& entry = m_folders[folder];
    if (entry.state) return *entry.state;
    const PathState parent = state(entry.parent);
    PathState found = parent;
    if (parent == PathState::Folder) {
        found = probe(entry.parent, entry.name);
        if (found == PathState::Link) found = PathState::BlockedLink;
        if (found == PathState::File || found == PathState::Other) found = PathState::BlockedFile;
    }
    m_folders[folder].state = found;
    return found;
}

PathState FolderTable::probe(std::size_t folder, const std::string& name, struct stat* info) {
    const PathState where = state(folder);
    if (where != PathState::Folder) return where;
    auto parent = handle(folder);
    if (!parent) return PathState::Failed;
    struct stat found {};
    if (::fstatat((*parent)->fd(), name.c_str(), &found, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno == ENOENT ? PathState::Missing : PathState::Failed;
    }
    if (info != nullptr) *info = found;
    return stateOf(found);
}

std::size_t FolderTable::nearestExisting(std::size_t folder) {
    while (folder != kRoot && state(folder) != PathState::Folder)
        folder = m_folders[folder].parent;
    return folder;
}

Status FolderTable::make(std::size_t folder) {
    std::lock_guard lock(m_mutex);
    const PathState now = state(folder);
    if (now == PathState::Folder) return {};
    if (now != PathState::Missing) return Error{EEXIST, "a file or link is in the way"};
    const std::size_t parent = m_folders[folder].parent;
    if (Status made = make(parent); !made) return made;
    auto handle = handleLocked(parent);
    if (!handle) return handle.error();
    const std::string& name = m_folders[folder].name;
    if (::mkdirat((*handle)->fd(), name.c_str(), 0700) != 0) {
        if (errno != EEXIST) return failure(errno, "cannot create the folder " + pathOf(folder));
        // Made by someone else meanwhile: usable only if it is a real folder.
        m_folders[folder].state.reset();
        m_folders[folder].state = probe(parent, name);
        if (*m_folders[folder].state != PathState::Folder) {
            return Error{EEXIST, "a file or link is in the way"};
        }
        return {};
    }
    m_folders[folder].state = PathState::Folder;
    m_folders[folder].made = true;
    return {};
}

Result<FolderPtr> FolderTable::handle(std::size_t folder) {
    std::lock_guard lock(m_mutex);
    return handleLocked(folder);
}

Result<FolderPtr> FolderTable::handleLocked(std::size_t folder) {
    if (const auto open = m_open.find(folder); open != m_open.end()) return open->second;
    auto parent = handleLocked(m_folders[folder].parent);
    if (!parent) return parent;
    const int fd = ::openat((*parent)->fd(), m_folders[folder].name.c_str(), kFolderFlags);
    if (fd < 0) {
        if (errno == ELOOP || errno == ENOTDIR) {
            return Error{errno, "a folder on the way was replaced by a link or a file"};
        }
        return failure(errno, "cannot open the folder " + pathOf(folder));
    }
    if (m_open.size() >= kMaxOpen) {
        // Handles in use stay open through their holders; the root is always kept.
        FolderPtr root = m_open[kRoot];
        m_open.clear();
        m_open[kRoot] = std::move(root);
    }
    auto opened = std::make_shared<FolderHandle>(fd);
    m_open[folder] = opened;
    return opened;
}

}  // namespace corvane::restore
