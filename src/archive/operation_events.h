#pragma once

#include "archive/archive_observer.h"
#include "archive/volume_in.h"
#include "archive/volume_out.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

namespace corvane::archive {

// The observer as the operations see it: every event goes through here (on the calling
// thread), with the abort request checked and skipped files counted.
class OperationEvents final : public VolumeEvents, public VolumeAsker {
public:
    OperationEvents(ArchiveObserver* observer, const std::atomic<bool>& abortRequest)
        : m_observer(observer), m_abort(abortRequest) {}

    bool aborted() override { return m_abort.load(std::memory_order_relaxed); }
    bool insertDisk(int number) override;
    bool volumeMissing(int number, const std::string& expected, std::string& foundAt) override;
    bool clearFolder(const std::string& folder) override;

    void fileProgress(const std::string& name, std::uint64_t done, std::uint64_t total, bool last);
    void overall(const OverallProgress& progress);
    void previewing(const std::string& name);
    void complete(std::uint64_t estimate);
    // Records a skip; reasons from 100 make the run end with warnings.
    void skipped(const std::string& name, int reason);
    bool integrityWarning(const std::string& name);
    bool preprocessing(const std::string& name, std::uint64_t size, std::string& storedName);
    bool passwordNeeded(std::string& password);
    void entryResult(std::size_t index, int code, const std::string& detail);

    bool hadWarnings() const { return m_warnings; }

private:
    ArchiveObserver* m_observer;
    const std::atomic<bool>& m_abort;
    bool m_warnings = false;
};

}  // namespace corvane::archive
