#pragma once

#include "engine/backup_type_dialog.h"
#include "engine/engine_context.h"
#include "engine/run_log.h"

#include <chrono>
#include <functional>
#include <string>

namespace corvane {

enum class EventPhase { Preview, Compress, Test };

// Files larger than this stop a backup while it is being preprocessed.
inline constexpr std::uint64_t kMaximumFileSize = 4'000'000'000ULL;

// The handlers of the component's events during one operation: they drive the progress and
// previewing windows, ask for disks and passwords, and write log lines; unattended runs never
// ask. Drawing is throttled so that a fast run is not slowed down by its display; each draw also
// gives the event loop a turn.
class RunEvents final : public archive::ArchiveObserver {
public:
    RunEvents(EngineContext& context, const RunLog& log, EventPhase phase,
              std::string& currentPassword);

    // For a spanned compress: the style decides the disk prompts, clearDisks the answer to a
    // disk that is not empty.
    void setDiskHandling(BackupStyle style, bool clearDisks);
    // Called with the estimate when a preview completes.
    void onPreviewComplete(std::function<void(std::uint64_t)> handler);
    // How many times a new disk was asked for (and inserted) while writing.
    int disksAsked() const { return m_disksAsked; }
    // An unattended run met a file too large and must end the program now.
    bool endProgramRequested() const { return m_endProgram; }

    void onFileProgress(const std::string& name, int percent, bool last) override;
    void onOverallProgress(const archive::OverallProgress& progress) override;
    void onPreviewingFile(const std::string& name) override;
    void onOperationComplete(std::uint64_t estimatedBytes) override;
    void onSkippedFile(const std::string& name, int reason) override;
    bool onIntegrityWarning(const std::string& name) override;
    bool onPreprocessingFile(const std::string& name, std::uint64_t size,
                             std::string& storedName) override;
    bool onInsertDisk(int number) override;
    bool onDiskNotEmpty(const std::string& folder) override;
    bool onPasswordNeeded(std::string& password) override;

private:
    bool unattended() const { return m_context.flags.commandLineRun; }
    bool drawDue(bool force);
    // After a draw: lets the windows repaint and take input, so a click on Cancel arrives while
    // the operation runs.
    void letWindowsRun();

    EngineContext& m_context;
    const RunLog& m_log;
    EventPhase m_phase;
    std::string& m_currentPassword;
    BackupStyle m_style = BackupStyle::SingleArchive;
    bool m_clearDisks = false;
    std::function<void(std::uint64_t)> m_previewComplete;
    std::string m_currentFile;
    std::chrono::steady_clock::time_point m_lastDraw{};
    std::chrono::steady_clock::time_point m_lastPump{};
    bool m_endProgram = false;
    int m_disksAsked = 0;
    bool m_integrityAccepted = false;
};

}  // namespace corvane
