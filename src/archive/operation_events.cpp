#include "archive/operation_events.h"

#include <algorithm>

namespace corvane::archive {

bool OperationEvents::insertDisk(int number) {
    return m_observer == nullptr || m_observer->onInsertDisk(number);
}

bool OperationEvents::volumeMissing(int number, const std::string& expected, std::string& foundAt) {
    return m_observer == nullptr || m_observer->onVolumeMissing(number, expected, foundAt);
}

bool OperationEvents::clearFolder(const std::string& folder) {
    return m_observer != nullptr && m_observer->onDiskNotEmpty(folder);
}

void OperationEvents::fileProgress(const std::string& name, std::uint64_t done, std::uint64_t total,
                                   bool last) {
    if (m_observer == nullptr) return;
    const int percent = last || total == 0
                            ? 100
                            : static_cast<int>(std::min<std::uint64_t>(done * 100 / total, 99));
    m_observer->onFileProgress(name, percent, last);
}

void OperationEvents::overall(const OverallProgress& progress) {
    if (m_observer != nullptr) m_observer->onOverallProgress(progress);
}

void OperationEvents::previewing(const std::string& name) {
    if (m_observer != nullptr) m_observer->onPreviewingFile(name);
}

void OperationEvents::complete(std::uint64_t estimate) {
    if (m_observer != nullptr) m_observer->onOperationComplete(estimate);
}

void OperationEvents::skipped(const std::string& name, int reason) {
    if (reason >= kSkipCannotOpen) m_warnings = true;
    if (m_observer != nullptr) m_observer->onSkippedFile(name, reason);
}

bool OperationEvents::integrityWarning(const std::string& name) {
    return m_observer == nullptr || m_observer->onIntegrityWarning(name);
}

bool OperationEvents::preprocessing(const std::string& name, std::uint64_t size,
                                    std::string& storedName) {
    return m_observer == nullptr || m_observer->onPreprocessingFile(name, size, storedName);
}

bool OperationEvents::passwordNeeded(std::string& password) {
    return m_observer != nullptr && m_observer->onPasswordNeeded(password);
}

void OperationEvents::entryResult(std::size_t index, int code, const std::string& detail) {
    if (m_observer != nullptr) m_observer->onEntryResult(index, code, detail);
}

}  // namespace corvane::archive
