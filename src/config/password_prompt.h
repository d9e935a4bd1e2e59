#pragma once

#include "host/dialog_texts.h"

#include <optional>
#include <string>
#include <string_view>

namespace corvane {

// The "Password Protected Backup Archive" prompt, shown when the archive component meets an
// archive whose password it does not have. The run takes the answer as its current password
// and retries; a cancel makes the run abort its operation with the current password empty.
class PasswordPrompt {
public:
    static constexpr std::string_view kTitle = dialog_texts::kPasswordPromptTitle;
    static constexpr std::string_view kText = dialog_texts::kPasswordPromptText;
    static constexpr std::string_view kLabel = dialog_texts::kPasswordLabel;
    static constexpr std::string_view kCancelCaption = "&Cancel";

    const std::string& text() const { return m_text; }
    void setText(std::string text) { m_text = std::move(text); }

    void ok();
    void cancel();
    bool isOpen() const { return m_open; }

    // The entered password, trimmed; nullopt while open and after Cancel.
    const std::optional<std::string>& result() const { return m_result; }

private:
    std::string m_text;
    std::optional<std::string> m_result;
    bool m_open = true;
};

}  // namespace corvane
