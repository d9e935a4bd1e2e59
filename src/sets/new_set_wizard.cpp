#include "sets/new_set_wizard.h"

#include "common/text.h"
#include "sets/new_set_dialog.h"

namespace corvane {

NewSetWizard::NewSetWizard(SetDocument& document)
    : m_document(document),
      m_naming(document.context().host),
      m_options(SetOptionChoices::fromRecord(document.context().config.record())) {
    m_document.addCategories();
}

void NewSetWizard::next() {
    if (!nextEnabled()) return;
    if (m_page < 3) {
        ++m_page;
    } else {
        finish();
    }
}

void NewSetWizard::back() {
    if (backEnabled()) --m_page;
}

void NewSetWizard::finish() {
    const SetContext& context = m_document.context();
    const std::string fileName = m_naming.setFileName();
    if (!confirmSetName(context, fileName)) {
        m_page = 1;
        m_focus.raise();
        return;
    }
    BackupSet& set = m_document.set();
    m_chosenSetName = fileName;
    set.setName = fileName;
    set.setPath = setFilePath(context.programFolder, fileName);
    set.defaultLocation = trim(m_naming.location());
    set.opening = false;
    context.config.saveSetDefaults(m_options.compression(), checkState(m_options.freshen),
                                   checkState(m_options.addNew),
                                   checkState(m_options.addAllFolders));

    context.commands.enable({CommandId::Add, CommandId::ActionsAdd, CommandId::FileSave,
                             CommandId::FileSaveAs, CommandId::Save, CommandId::ActionsDefault,
                             CommandId::OptionsOffsite},
                            true);
    if (set.tree.count() >= 4) {
        context.commands.enable({CommandId::ActionsRemove, CommandId::ActionsBackup,
                                 CommandId::Backup, CommandId::BackupSetProperties},
                                true);
    }
    // saveSet marks the set saved only when the file was written, so a failed write still
    // asks to save when the set is closed.
    set.saved = false;
    m_document.saveSet();
    context.host.setStatusText(m_chosenSetName);
    m_open = false;
}

void NewSetWizard::cancel() {
    const SetContext& context = m_document.context();
    if (context.host.message(Icon::Question, Buttons::OkCancel, "Exit Wizard",
                             "Are you sure you wish to exit the Wizard without saving?") !=
        Answer::Ok) {
        return;
    }
    // No set is open while the wizard runs, so closing asks nothing: it empties the tree and
    // takes back the commands that adding folders and files enabled.
    m_document.closeSet();
    m_open = false;
}

}  // namespace corvane
