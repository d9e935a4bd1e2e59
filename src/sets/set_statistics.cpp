#include "sets/set_statistics.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>

#include "archive/wildcard.h"
#include "common/text.h"

namespace corvane {

namespace {

constexpr std::uint64_t kWarningBytes = 3'000'000'000;
constexpr std::uint64_t kTooLargeBytes = 4'000'000'000;
// The window repaints its progress bar at most this often while a count runs.
constexpr auto kRepaintInterval = std::chrono::milliseconds(50);

// Adds the files directly in `folder` (those matching `mask`, when one is given). Folders are
// skipped by the listing's type without a stat, so each file costs one stat relative to the
// open folder.
Status addFolderFiles(const std::string& folder, std::string_view mask, SetCounts& counts) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return errorFromErrno(errno, folder);
    const int fd = ::dirfd(dir);
    Status status;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (entry == nullptr) {
            if (errno != 0) status = errorFromErrno(errno, folder);
            break;
        }
        if (entry->d_type == DT_DIR) continue;
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") continue;
        if (!mask.empty() && !archive::matchesMask(mask, name)) continue;
        struct stat info {};
        if (::fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT) continue;  // gone since the listing: nothing to back up
            status = errorFromErrno(errno, folder + std::string(name));
            break;
        }
        if (S_ISDIR(info.st_mode)) continue;
        ++counts.files;
        counts.bytes += static_cast<std::uint64_t>(info.st_size);
    }
    ::closedir(dir);
    return status;
}

Status addFile(const std::string& path, SetCounts& counts) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return errorFromErrno(errno, path);
    ++counts.files;
    counts.bytes += static_cast<std::uint64_t>(info.st_size);
    return {};
}

Status addWildcard(std::string_view text, SetCounts& counts) {
    const std::string pattern = trim(text.size() > 5 ? text.substr(5) : std::string_view());
    const auto slash = pattern.rfind(kSeparator);
    if (slash == std::string::npos) return {};  // no folder: nothing to look in
    const std::string mask = pattern.substr(slash + 1);
    if (mask.empty()) return {};
    return addFolderFiles(pattern.substr(0, slash + 1), mask, counts);
}

// "###,###,###": digits grouped in threes, "0" for nothing.
std::string countText(std::uint64_t value) { return groupedNumber(value); }

std::string bytesText(std::uint64_t value) { return groupedNumber(value) + " Bytes"; }

// The compressed size estimate: 45 % of the total, rounded half up, without overflow.
std::uint64_t approxCompressed(std::uint64_t bytes) {
    return bytes / 100 * 45 + (bytes % 100 * 45 + 50) / 100;
}

}  // namespace

Result<SetCounts> countSetContent(const SetTree& tree, const std::function<void()>& entryDone) {
    SetCounts counts;
    for (std::size_t index = 1; index <= tree.count(); ++index) {
        const SetEntry& node = tree.at(index);
        if (!node.parent) continue;  // a category
        Status counted;
        if (node.picture == Picture::Folder) {
            ++counts.folders;
            counted = addFolderFiles(trim(node.text), {}, counts);
        } else if (node.picture == Picture::File && *node.parent == kFilesCategory) {
            counted = startsWith(node.text, "**") ? addWildcard(node.text, counts)
                                                  : addFile(trim(node.text), counts);
        }
        if (!counted) return counted.error();
        entryDone();
    }
    return counts;
}

void SetStatistics::calculate() {
    if (!m_idle) return;  // a click that arrives while the window repaints during a count
    const SetContext& context = m_document.context();
    const SetTree& tree = m_document.set().tree;
    m_idle = false;
    m_progressValue = 0;
    m_progressMaximum = 0;
    for (std::size_t index = 1; index <= tree.count(); ++index) {
        if (tree.at(index).parent) ++m_progressMaximum;
    }

    auto lastRepaint = std::chrono::steady_clock::now();
    const auto counts = countSetContent(tree, [&] {
        ++m_progressValue;
        const auto now = std::chrono::steady_clock::now();
        if (now - lastRepaint >= kRepaintInterval) {
            lastRepaint = now;
            context.host.processPendingEvents();
        }
    });
    m_progressValue = 0;
    m_idle = true;

    if (!counts) {
        clear();
        context.host.message(
            Icon::Critical, Buttons::Ok, "Error",
            "An error was encountered trying to calculate the statistics for the currently open "
            "backup set.\r\n\r\nThis is usally caused by Corvane not having access to all of the "
            "folders or files included in the backup set.\r\n\r\nError #" +
                std::to_string(counts.error().code) +
                ".  Description:  " + counts.error().description + ".");
        return;
    }
    show(*counts);
    if (counts->files > kMaximumFiles) {
        context.host.message(Icon::Exclamation, Buttons::Ok, "Maximum Number of Files Reached",
                             "The number of files to be included in your backup exceed the "
                             "allowed 65,535.\r\n\r\nNote:  If you have exclusions in your "
                             "backup set, remember that exclusions are NOT taken into account "
                             "for these statistics.");
    }
}

void SetStatistics::show(const SetCounts& counts) {
    m_filesText = countText(counts.files);
    m_foldersText = countText(counts.folders);
    m_uncompressedText = bytesText(counts.bytes);
    m_compressedText = bytesText(approxCompressed(counts.bytes));
    if (counts.bytes < kWarningBytes) {
        m_dataStatusText = "Size OK";
        m_dataStatusColour = StatusColour::Green;
    } else if (counts.bytes < kTooLargeBytes) {
        m_dataStatusText = "Size Warning";
        m_dataStatusColour = StatusColour::Yellow;
    } else {
        m_dataStatusText = "Size Too Large";
        m_dataStatusColour = StatusColour::Red;
    }
}

void SetStatistics::clear() {
    m_filesText.clear();
    m_foldersText.clear();
    m_uncompressedText.clear();
    m_compressedText.clear();
    m_dataStatusText.clear();
    m_dataStatusColour = StatusColour::None;
}

}  // namespace corvane
