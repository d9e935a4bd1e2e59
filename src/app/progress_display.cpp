#include "app/progress_display.h"

#include <algorithm>

namespace corvane {

void ProgressDisplay::open(ProgressKind kind, std::function<void()> onCancel) {
    m_kind = kind;
    m_onCancel = std::move(onCancel);
    m_open = true;
    m_visible = true;
    m_cancelled = false;
    m_line.clear();
    m_filePercent = 0;
    m_overallPercent = 0;
    m_files.clear();
    m_bytes.clear();
    m_ratio.clear();
    changed();
}

void ProgressDisplay::setOperationLine(std::string_view text) {
    // The handler of Cancel sets the stopping line itself; nothing later replaces it.
    if (m_cancelled && text != kAbortingLine) return;
    m_line = std::string(text);
    changed();
}

void ProgressDisplay::setFileProgress(int percent) {
    m_filePercent = std::clamp(percent, 0, 100);
    changed();
}

void ProgressDisplay::setOverallProgress(int percent, std::string_view files,
                                         std::string_view bytes, std::string_view ratio) {
    m_overallPercent = std::clamp(percent, 0, 100);
    m_files = std::string(files);
    m_bytes = std::string(bytes);
    m_ratio = std::string(ratio);
    changed();
}

void ProgressDisplay::hide() {
    m_visible = false;
    changed();
}

void ProgressDisplay::show() {
    m_visible = true;
    changed();
}

void ProgressDisplay::close() {
    m_open = false;
    m_visible = false;
    m_onCancel = nullptr;
    changed();
}

void ProgressDisplay::cancel() {
    if (!cancelEnabled()) return;
    m_cancelled = true;
    m_line = std::string(kAbortingLine);
    changed();
    // The handler may close the window; keep it alive while it runs.
    const auto handler = m_onCancel;
    if (handler) handler();
}

void PreviewingDisplay::open(std::function<void()> onCancel) {
    m_onCancel = std::move(onCancel);
    m_open = true;
    m_file.clear();
    changed();
}

void PreviewingDisplay::setFile(std::string_view name) {
    m_file = std::string(name);
    changed();
}

void PreviewingDisplay::close() {
    m_open = false;
    m_onCancel = nullptr;
    changed();
}

void PreviewingDisplay::cancel() {
    if (!m_open) return;
    const auto handler = m_onCancel;
    if (handler) handler();
    close();
}

}  // namespace corvane
