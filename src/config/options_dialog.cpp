#include "config/options_dialog.h"

#include "common/text.h"
#include "config/folder_choice.h"
#include "config/folders_reminder.h"
#include "config/password.h"
#include "config/set_option_choices.h"

namespace corvane {

namespace {

constexpr std::string_view kPasswordTitle = "Password Settings";

TestChoice testChoiceFor(int testMode) {
    if (testMode == 0) return TestChoice::Never;
    if (testMode == 1) return TestChoice::Always;
    return TestChoice::Prompt;
}

}  // namespace

OptionsDialog::OptionsDialog(ConfigStore& config, Host& host, std::string programFolder,
                             bool& setSaved)
    : m_config(config), m_host(host), m_programFolder(std::move(programFolder)),
      m_setSaved(setSaved) {
    const ConfigRecord& record = config.record();
    m_compressionIndex = compressionIndexFor(record.compression);
    m_checks = {isChecked(record.addNew),           isChecked(record.freshen),
                isChecked(record.subFolders),       isChecked(record.shutDown),
                isChecked(record.skipPrompt),       isChecked(record.promptPreview),
                isChecked(record.restoreOverwrite), isChecked(record.systemValidate),
                isChecked(record.newLocationPrompt), isChecked(record.logFile),
                isChecked(record.verifyExists),     isChecked(record.noAskDefault)};
    m_passwordProtect = record.password == 1;
    if (m_passwordProtect) {
        m_password = passwordFromStored(record.passwordText);
        m_confirmation = m_password;
    }
    m_tempFolder = trim(record.tempFolder);
    m_testChoice = testChoiceFor(record.testMode);
    // Loaded directly, not through setAddAllFolders, so loading never shows the reminder.
    m_addAllFolders = isChecked(record.addAllFolders);
}

void OptionsDialog::selectPage(int page) {
    if (page >= 1 && page <= static_cast<int>(kOptionsPages.size())) m_page = page;
}

int OptionsDialog::helpTopic() const {
    return kOptionsPages[static_cast<std::size_t>(m_page - 1)].helpTopic;
}

void OptionsDialog::selectCompression(std::size_t index) {
    if (index < kCompressionItems.size()) m_compressionIndex = index;
}

bool OptionsDialog::setAddAllFolders(bool checked) {
    const bool becameTicked = checked && !m_addAllFolders;
    m_addAllFolders = checked;
    return becameTicked && FoldersReminder::shouldShow(m_programFolder);
}

void OptionsDialog::setPasswordProtect(bool checked) {
    m_passwordProtect = checked;
    if (!checked) {
        m_password.clear();
        m_confirmation.clear();
    }
}

void OptionsDialog::setPassword(std::string_view text) {
    if (m_passwordProtect) m_password = cutAtCharBoundary(text, kPasswordMaxLength);
}

void OptionsDialog::setConfirmation(std::string_view text) {
    if (m_passwordProtect) m_confirmation = cutAtCharBoundary(text, kPasswordMaxLength);
}

bool OptionsDialog::clearToDefaultEnabled() const { return !trim(m_tempFolder).empty(); }

void OptionsDialog::selectNewTempFolder() {
    const std::string chosen = chooseFolderPath(m_host, "Select Default Temp Folder Location:");
    if (!chosen.empty()) m_tempFolder = chosen;
}

std::string OptionsDialog::passwordProblem() const {
    const std::string password = trim(m_password);
    const std::string confirmation = trim(m_confirmation);
    if (password.empty() || confirmation.empty()) {
        return "Unable to save Password settings.  One of the required Password fields is "
               "missing.";
    }
    if (password != confirmation) {
        return "Unable to save Password settings.  Passwords entered do not match.";
    }
    // The stored field is space-padded and trimmed on reading, and "#" is stored as a space,
    // so such a password would come back shorter than it was typed.
    if (!isStorablePassword(cutAtCharBoundary(password, kPasswordMaxLength))) {
        return "Unable to save Password settings.  A Password cannot begin or end with the "
               "character '#'.";
    }
    return {};
}

void OptionsDialog::ok() {
    ConfigRecord& record = m_config.record();
    record.compression = compressionLevelAt(m_compressionIndex);
    record.freshen = checkState(m_checks.freshen);
    record.addNew = checkState(m_checks.addNew);
    record.subFolders = checkState(m_checks.subFolders);
    record.shutDown = checkState(m_checks.shutDown);
    record.skipPrompt = checkState(m_checks.skipPrompt);
    record.promptPreview = checkState(m_checks.promptPreview);
    record.restoreOverwrite = checkState(m_checks.restoreOverwrite);
    record.systemValidate = checkState(m_checks.systemValidate);
    record.newLocationPrompt = checkState(m_checks.newLocationPrompt);
    record.addAllFolders = checkState(m_addAllFolders);
    record.password = checkState(m_passwordProtect);
    record.logFile = checkState(m_checks.logFile);
    record.noAskDefault = checkState(m_checks.noAskDefault);
    record.verifyExists = checkState(m_checks.verifyExists);
    record.tempFolder = trim(m_tempFolder);
    record.testMode = static_cast<std::int16_t>(m_testChoice);

    if (record.password == 1) {
        const std::string problem = passwordProblem();
        if (!problem.empty()) {
            m_host.message(Icon::Exclamation, Buttons::Ok, kPasswordTitle, problem);
            record.password = 0;
            saveAndClose();
            return;
        }
        record.passwordText = storedPasswordText(m_password);
    }
    saveAndClose();
}

void OptionsDialog::saveAndClose() {
    if (const Status saved = m_config.save(); !saved) {
        m_host.message(Icon::Exclamation, Buttons::Ok, "Error",
                       "Unable to save the Configuration Settings.  They stay in force until "
                       "Corvane is closed.\r\n\r\nError #" +
                           std::to_string(saved.error().code) +
                           ".  Description:  " + saved.error().description + ".");
    }
    m_setSaved = false;
    m_open = false;
}

}  // namespace corvane
