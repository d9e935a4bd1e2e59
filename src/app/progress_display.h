#pragma once

#include "host/host.h"

#include <functional>
#include <string>

namespace corvane {

// What the "Corvane - Operation Status" window shows, with its rules. It opens with both bars at
// 0 and its animation playing; Cancel shows that the operation is stopping, disables itself,
// stops the animation and asks the operation to abort; from then on the stopping line stays,
// whatever progress still arrives before the operation returns.
class ProgressDisplay final : public ProgressView {
public:
    static constexpr std::string_view kAbortingLine = "Aborting current operation...Please wait...";

    // Called after every change, so that a window can redraw.
    void onChange(std::function<void()> listener) { m_listener = std::move(listener); }

    void open(ProgressKind kind, std::function<void()> onCancel) override;
    void setOperationLine(std::string_view text) override;
    void setFileProgress(int percent) override;
    void setOverallProgress(int percent, std::string_view files, std::string_view bytes,
                            std::string_view ratio) override;
    void hide() override;
    void show() override;
    void close() override;

    // The Cancel button.
    void cancel();

    bool isOpen() const { return m_open; }
    bool isVisible() const { return m_open && m_visible; }
    ProgressKind kind() const { return m_kind; }
    const std::string& operationLine() const { return m_line; }
    int filePercent() const { return m_filePercent; }
    int overallPercent() const { return m_overallPercent; }
    const std::string& files() const { return m_files; }
    const std::string& bytes() const { return m_bytes; }
    const std::string& ratio() const { return m_ratio; }
    bool cancelEnabled() const { return m_open && !m_cancelled; }
    bool animationPlaying() const { return m_open && !m_cancelled; }

private:
    void changed() const {
        if (m_listener) m_listener();
    }

    std::function<void()> m_listener;
    std::function<void()> m_onCancel;
    ProgressKind m_kind = ProgressKind::Backup;
    bool m_open = false;
    bool m_visible = false;
    bool m_cancelled = false;
    std::string m_line;
    int m_filePercent = 0;
    int m_overallPercent = 0;
    std::string m_files;
    std::string m_bytes;
    std::string m_ratio;
};

// What the "Previewing..." window shows: the file being previewed and a Cancel that asks the
// preview to stop and closes the window.
class PreviewingDisplay final : public PreviewingView {
public:
    void onChange(std::function<void()> listener) { m_listener = std::move(listener); }

    void open(std::function<void()> onCancel) override;
    void setFile(std::string_view name) override;
    void close() override;

    void cancel();

    bool isOpen() const { return m_open; }
    const std::string& file() const { return m_file; }

private:
    void changed() const {
        if (m_listener) m_listener();
    }

    std::function<void()> m_listener;
    std::function<void()> m_onCancel;
    bool m_open = false;
    std::string m_file;
};

}  // namespace corvane
