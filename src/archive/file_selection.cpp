#include "archive/file_selection.h"

#include "archive/archive_observer.h"
#include "archive/name_set.h"
#include "archive/volume_out.h"
#include "archive/wildcard.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <set>

namespace corvane::archive {

namespace {

struct Include {
    std::string folder;  // ends in "/" (or is empty: the current folder)
    std::string mask;    // empty: the whole folder
};

bool endsWithSlash(const std::string& text) {
    return !text.empty() && text.back() == '/';
}

std::string nameOf(const std::string& path) {
    const std::string bare = endsWithSlash(path) ? path.substr(0, path.size() - 1) : path;
    const auto slash = bare.rfind('/');
    return slash == std::string::npos ? bare : bare.substr(slash + 1);
}

Include parseInclude(const std::string& text) {
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, "/*") == 0) {
        return {text.substr(0, text.size() - 1), {}};
    }
    if (endsWithSlash(text)) return {text, {}};
    const auto slash = text.rfind('/');
    Include include = slash == std::string::npos
                          ? Include{{}, text}
                          : Include{text.substr(0, slash + 1), text.substr(slash + 1)};
    struct stat info {};
    const std::string literal = include.folder + unescapeMask(include.mask);
    if (!hasWildcard(include.mask) && ::lstat(literal.c_str(), &info) == 0 &&
        S_ISDIR(info.st_mode)) {
        return {literal + "/", {}};
    }
    return include;
}

bool startsWith(const std::string& text, const std::string& prefix) {
    return !prefix.empty() && text.compare(0, prefix.size(), prefix) == 0;
}

class Walker {
public:
    Walker(const std::vector<std::string>& exclusions, const std::set<std::string>& markers,
           const SelectionCallbacks& callbacks, std::vector<SourceEntry>& out, bool overlapping)
        : m_callbacks(callbacks),
          m_markers(markers),
          m_out(out),
          m_seen(overlapping ? std::make_unique<NameSet>() : nullptr) {
        for (const auto& exclusion : exclusions) {
            if (exclusion.empty() || markers.count(exclusion) != 0) continue;
            (exclusion.find('/') == std::string::npos ? m_nameMasks : m_pathMasks)
                .push_back(exclusion);
        }
    }

    bool aborted() const { return m_callbacks.aborted && m_callbacks.aborted(); }

    // Everything under `folder`, the folder's own entry first (as zip -r does); returns how
    // many entries it added. A folder that cannot be listed is skipped, not stored as empty, and
    // one whose contents are all excluded leaves no entry.
    std::size_t takeFolder(const std::string& folder) {
        bool readable = true;
        const auto names = list(folder, readable);
        if (!readable) return 0;
        // Its entry waits for the first entry under it, or for the end when it is empty.
        m_pending.push_back(folder);
        std::size_t added = 0;
        for (const auto& name : names) {
            if (aborted()) return added;
            added += takeChild(folder, name);
        }
        if (!m_pending.empty() && m_pending.back() == folder) {
            m_pending.pop_back();
            if (names.empty()) added += add(folder, SourceKind::Folder, folderInfo(folder));
        }
        return added;
    }

    // Files matching `mask` in `folder`, and in its sub-folders unless it is marked.
    void takeMatches(const std::string& folder, const std::string& mask) {
        const bool descend = m_markers.count(folder) == 0;
        if (!descend && !hasWildcard(mask)) {
            // A single file: no need to list a folder that may be large.
            const std::string name = unescapeMask(mask);
            const std::string path = folder + name;
            if (ownOutput(folder, name)) return;
            struct stat info {};
            if (::lstat(path.c_str(), &info) != 0) {
                skip(path, kSkipCannotOpen);
            } else if (!S_ISDIR(info.st_mode) && !excluded(path, false)) {
                addFile(path, info);
            }
            return;
        }
        bool readable = true;
        for (const auto& name : list(folder, readable)) {
            if (aborted()) return;
            const std::string path = folder + name;
            if (ownOutput(folder, name)) continue;
            struct stat info {};
            if (::lstat(path.c_str(), &info) != 0) continue;
            if (S_ISDIR(info.st_mode)) {
                if (descend && !excluded(path + "/", true)) takeMatches(path + "/", mask);
            } else if (matchesMask(mask, name) && !excluded(path, false)) {
                addFile(path, info);
            }
        }
    }

    bool excluded(const std::string& path, bool folder) const {
        const std::string name = nameOf(path);
        for (const auto& mask : m_nameMasks) {
            if (matchesMask(mask, name)) return true;
        }
        const std::string bare = folder ? path.substr(0, path.size() - 1) : path;
        for (const auto& mask : m_pathMasks) {
            // "D/*" excludes what is in D; only a mask ending in "/" names the folder itself.
            if (folder ? matchesMask(mask, endsWithSlash(mask) ? path : bare)
                       : matchesMask(mask, bare)) {
                return true;
            }
        }
        return false;
    }

    void skip(const std::string& path, int reason) {
        if (m_callbacks.skipped) m_callbacks.skipped(path, reason);
    }

private:
    bool ownOutput(const std::string& folder, const std::string& name) const {
        return m_callbacks.own != nullptr && m_callbacks.own->holds(folder, name);
    }

    std::size_t takeChild(const std::string& folder, const std::string& name) {
        const std::string path = folder + name;
        if (ownOutput(folder, name)) return 0;
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0) {
            skip(path, kSkipCannotOpen);
            return 0;
        }
        if (S_ISDIR(info.st_mode)) {
            return excluded(path + "/", true) ? 0 : takeFolder(path + "/");
        }
        if (excluded(path, false)) return 0;
        return addFile(path, info);
    }

    std::size_t addFile(const std::string& path, const struct stat& info) {
        if (S_ISREG(info.st_mode)) {
            if (m_callbacks.own != nullptr && m_callbacks.own->isArchive(info)) return 0;
            return add(path, SourceKind::File, info);
        }
        if (S_ISLNK(info.st_mode)) return add(path, SourceKind::Symlink, info);
        skip(path, kSkipSpecialFile);
        return 0;
    }

    struct stat folderInfo(const std::string& folder) {
        struct stat info {};
        ::lstat(folder.c_str(), &info);
        return info;
    }

    // The entries of the folders waiting above a first entry, outermost first.
    void addPendingFolders() {
        std::vector<std::string> pending;
        pending.swap(m_pending);
        for (const auto& folder : pending)
            add(folder, SourceKind::Folder, folderInfo(folder));
    }

    std::size_t add(const std::string& path, SourceKind kind, const struct stat& info) {
        if (!m_pending.empty()) addPendingFolders();
        // Already taken: counts as taken here too.
        if (m_seen && !m_seen->insert(path)) return 1;
        SourceEntry entry;
        entry.path = path;
        entry.storedName = storedNameFor(path);
        if (entry.storedName.empty()) return 0;
        entry.kind = kind;
        entry.size = kind == SourceKind::Folder ? 0 : static_cast<std::uint64_t>(info.st_size);
        entry.mtime = static_cast<std::int64_t>(info.st_mtim.tv_sec);
        entry.mtimeNanoseconds = static_cast<std::uint32_t>(info.st_mtim.tv_nsec);
        entry.mode = static_cast<std::uint32_t>(info.st_mode);
        if (m_callbacks.found) {
            m_callbacks.found(std::move(entry));
        } else {
            m_out.push_back(std::move(entry));
        }
        return 1;
    }

    // The names in `folder` in order, the run's own output left out.
    std::vector<std::string> list(const std::string& folder, bool& readable) {
        std::vector<std::string> names;
        DIR* listing = ::opendir(folder.empty() ? "." : folder.c_str());
        if (listing == nullptr) {
            readable = false;
            skip(folder, kSkipCannotOpen);
            return names;
        }
        while (const dirent* entry = ::readdir(listing)) {
            const std::string name = entry->d_name;
            if (name != "." && name != ".." && !ownOutput(folder, name)) names.push_back(name);
        }
        ::closedir(listing);
        std::sort(names.begin(), names.end());
        return names;
    }

    const SelectionCallbacks& m_callbacks;
    const std::set<std::string>& m_markers;
    std::vector<SourceEntry>& m_out;
    std::vector<std::string> m_nameMasks;
    std::vector<std::string> m_pathMasks;
    std::unique_ptr<NameSet> m_seen;  // the paths taken, when includes overlap
    std::vector<std::string> m_pending;
};

}  // namespace

OwnOutput::OwnOutput(const std::string& archivePath, const std::string& tempFolder, bool split) {
    addPath(archivePath, split);
    const std::string target = resolveArchivePath(archivePath);
    if (target != archivePath) addPath(target, split);
    struct stat info {};
    if (!tempFolder.empty() && ::stat(tempFolder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        m_folders.push_back({info.st_dev, info.st_ino});
    }
    if (::stat(archivePath.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
        m_files.push_back({info.st_dev, info.st_ino});
    }
}

void OwnOutput::addPath(const std::string& archivePath, bool split) {
    const auto slash = archivePath.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : archivePath.substr(0, slash + 1);
    const std::string name =
        slash == std::string::npos ? archivePath : archivePath.substr(slash + 1);
    m_archiveNames.push_back(name);
    m_temporaryPrefixes.push_back(temporaryPrefix(archivePath));
    if (split) {
        const auto dot = name.rfind('.');
        m_volumeStems.push_back((dot == std::string::npos ? name : name.substr(0, dot)) + ".z");
    }
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        m_folders.push_back({info.st_dev, info.st_ino});
    }
}

bool OwnOutput::samePlace(const std::vector<Place>& places, const std::string& path) {
    struct stat info {};
    if (::stat(path.empty() ? "." : path.c_str(), &info) != 0) return false;
    return std::any_of(places.begin(), places.end(), [&](const Place& place) {
        return place.device == info.st_dev && place.inode == info.st_ino;
    });
}

bool OwnOutput::holds(const std::string& folder, const std::string& name) const {
    const auto volume = [&](const std::string& stem) {
        return startsWith(name, stem) && name.size() > stem.size() &&
               name.find_first_not_of("0123456789", stem.size()) == std::string::npos;
    };
    const auto prefixed = [&](const std::string& prefix) { return startsWith(name, prefix); };
    const bool ours =
        std::find(m_archiveNames.begin(), m_archiveNames.end(), name) != m_archiveNames.end() ||
        std::any_of(m_temporaryPrefixes.begin(), m_temporaryPrefixes.end(), prefixed) ||
        std::any_of(m_volumeStems.begin(), m_volumeStems.end(), volume);
    return ours && samePlace(m_folders, folder);
}

bool OwnOutput::isArchive(const struct stat& info) const {
    return std::any_of(m_files.begin(), m_files.end(), [&](const Place& place) {
        return place.device == info.st_dev && place.inode == info.st_ino;
    });
}

bool selectSources(const std::vector<std::string>& includes,
                   const std::vector<std::string>& exclusions, const SelectionCallbacks& callbacks,
                   std::vector<SourceEntry>& out) {
    std::vector<Include> parsed;
    std::set<std::string> maskFolders;
    for (const auto& text : includes) {
        if (text.empty()) continue;
        parsed.push_back(parseInclude(text));
        if (!parsed.back().mask.empty()) maskFolders.insert(parsed.back().folder);
    }
    std::set<std::string> markers;
    for (const auto& exclusion : exclusions) {
        if (maskFolders.count(exclusion) != 0) markers.insert(exclusion);
    }
    // Only includes whose folders nest can reach one path twice.
    bool overlapping = false;
    for (std::size_t first = 0; first < parsed.size() && !overlapping; ++first) {
        for (std::size_t second = first + 1; second < parsed.size() && !overlapping; ++second) {
            const std::string& a = parsed[first].folder;
            const std::string& b = parsed[second].folder;
            overlapping = a.compare(0, b.size(), b) == 0 || b.compare(0, a.size(), a) == 0;
        }
    }
    Walker walker(exclusions, markers, callbacks, out, overlapping);
    for (const auto& include : parsed) {
        if (walker.aborted()) return false;
        if (include.mask.empty()) {
            struct stat info {};
            if (::lstat(include.folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
                walker.skip(include.folder, kSkipCannotOpen);
            } else if (!walker.excluded(include.folder, true)) {
                walker.takeFolder(include.folder);
            }
        } else {
            walker.takeMatches(include.folder, include.mask);
        }
    }
    return !walker.aborted();
}

std::string storedNameFor(const std::string& path) {
    std::string name;
    std::size_t at = 0;
    while (at < path.size()) {
        std::size_t next = path.find('/', at);
        if (next == std::string::npos) next = path.size();
        const std::string_view part(path.data() + at, next - at);
        if (!part.empty() && part != "." && part != "..") {
            if (!name.empty()) name += '/';
            name.append(part);
        }
        at = next + 1;
    }
    if (!name.empty() && endsWithSlash(path)) name += '/';
    return name;
}

}  // namespace corvane::archive
