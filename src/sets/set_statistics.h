#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "common/result.h"
#include "sets/set_document.h"

namespace corvane {

// What a backup of a set would take in, by the counting rules of the properties window.
struct SetCounts {
    std::uint64_t files = 0;
    std::uint64_t folders = 0;
    std::uint64_t bytes = 0;
};

// Counts the entries of `tree`, calling `entryDone` after each entry node:
// - a file entry counts itself with its size (a link counts as itself, not its target);
// - a folder entry counts one folder and the files directly in it, hidden ones included;
//   sub-folders count only when they are folder entries themselves;
// - a wildcard entry counts the files of its folder whose names match its mask ("*" and "?",
//   letter case significant); sub-folders are not searched;
// - exclusions are not applied.
// A file or folder that cannot be read stops the count with its error.
Result<SetCounts> countSetContent(const SetTree& tree, const std::function<void()>& entryDone);

// How the uncompressed size compares with the archive limit.
enum class StatusColour { None, Green, Yellow, Red };

// The "Backup Set Properties" window of the open set.
class SetStatistics {
public:
    static constexpr std::string_view kTitle = "Backup Set Properties";
    static constexpr std::string_view kIntro =
        "This screen allows you to calculate statistics for the currently open backup set.  "
        "Note:  Exclusions are NOT taken into account.";
    static constexpr std::string_view kFilesLabel = "Number of Files:";
    static constexpr std::string_view kFoldersLabel = "Number of Folders:";
    static constexpr std::string_view kUncompressedLabel = "Uncompressed Size:";
    static constexpr std::string_view kCompressedLabel =
        "Approx. Compressed Size using Normal Compression:";
    static constexpr std::string_view kDataStatusLabel = "Data Status:";
    static constexpr std::string_view kStatusFrame = "Status";
    static constexpr std::string_view kCalculateCaption =
        "Calculate Statistics for Current Backup Set";
    static constexpr int kHelpTopic = 52;
    // More files than this draw the "Maximum Number of Files Reached" message.
    static constexpr std::uint64_t kMaximumFiles = 65535;

    explicit SetStatistics(SetDocument& document) : m_document(document) {}

    // Counts the open set and shows the results; OK and Help are disabled meanwhile and the
    // progress bar moves on by one for each entry.
    void calculate();

    bool okEnabled() const { return m_idle; }
    bool helpEnabled() const { return m_idle; }
    int progressMaximum() const { return m_progressMaximum; }
    int progressValue() const { return m_progressValue; }

    // Empty until a calculation has succeeded.
    const std::string& filesText() const { return m_filesText; }
    const std::string& foldersText() const { return m_foldersText; }
    const std::string& uncompressedText() const { return m_uncompressedText; }
    const std::string& compressedText() const { return m_compressedText; }
    const std::string& dataStatusText() const { return m_dataStatusText; }
    StatusColour dataStatusColour() const { return m_dataStatusColour; }

    void ok() { m_open = false; }
    bool isOpen() const { return m_open; }

private:
    void show(const SetCounts& counts);
    void clear();

    SetDocument& m_document;
    bool m_idle = true;
    int m_progressMaximum = 0;
    int m_progressValue = 0;
    std::string m_filesText;
    std::string m_foldersText;
    std::string m_uncompressedText;
    std::string m_compressedText;
    std::string m_dataStatusText;
    StatusColour m_dataStatusColour = StatusColour::None;
    bool m_open = true;
};

}  // namespace corvane
