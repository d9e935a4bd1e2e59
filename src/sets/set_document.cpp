#include "sets/set_document.h"

#include "common/text.h"

namespace corvane {

bool BackupSet::hasContent() const {
    if (tree.count() < 4) return false;
    for (std::size_t index = 1; index <= tree.count(); ++index) {
        const Picture picture = tree.at(index).picture;
        if (picture == Picture::File || picture == Picture::Folder) return true;
    }
    return false;
}

SetDocument::SetDocument(SetContext context) : m_context(std::move(context)) {}

void SetDocument::closeSet() {
    if (m_context.commands.isEnabled(CommandId::FileSave) && !m_set.saved) {
        const Answer answer =
            m_context.host.message(Icon::Question, Buttons::YesNo, "Save",
                                   "Save any current Backup Set changes?");
        if (answer == Answer::Yes) saveSet();
    }
    m_set.tree.clear();
    m_context.host.setStatusText(kNoSetStatus);
    m_context.commands.enable({CommandId::Backup, CommandId::Add, CommandId::Save,
                               CommandId::ActionsBackup, CommandId::ActionsRemove,
                               CommandId::ActionsAdd, CommandId::ActionsDefault,
                               CommandId::BackupSetProperties, CommandId::FileSave,
                               CommandId::FileSaveAs, CommandId::OptionsOffsite},
                              false);
    m_context.config.reload();
    m_set.opening = false;
    m_set.saved = true;
}

void SetDocument::newSet(const std::string& name) {
    closeSet();
    m_set.setPath = m_context.programFolder + "Backup Sets/" + name;
    m_set.setName = name;
    m_context.commands.enable({CommandId::Add, CommandId::ActionsAdd, CommandId::FileSave,
                               CommandId::FileSaveAs, CommandId::Save, CommandId::ActionsDefault,
                               CommandId::OptionsOffsite},
                              true);
    m_context.commands.enable(CommandId::ActionsRemove, m_set.tree.count() >= 4);
    m_context.host.setStatusText(name);
    m_set.saved = true;
    m_set.opening = false;
    addCategories();
}

void SetDocument::addCategories() {
    for (const auto category : {kFilesCategory, kFoldersCategory, kExclusionsCategory}) {
        const std::string key(category);
        if (m_set.tree.add(std::nullopt, key, key, Picture::Backup)) {
            // Categories are shown expanded, children sorted.
            m_set.tree.at(m_set.tree.count()).expanded = true;
        }
    }
}

void SetDocument::enableContentCommands(bool enabled) {
    m_context.commands.enable(kContentCommands, enabled);
}

void SetDocument::showSetNameStatus() { m_context.host.setStatusText(trim(m_set.setName)); }

}  // namespace corvane
