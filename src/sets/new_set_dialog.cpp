#include "sets/new_set_dialog.h"

#include "common/text.h"

namespace corvane {

std::string setFilePath(const std::string& programFolder, std::string_view setFileName) {
    return programFolder + "Backup Sets/" + std::string(setFileName);
}

bool confirmSetName(const SetContext& context, std::string_view setFileName) {
    if (!context.fileSystem.probe(setFilePath(context.programFolder, setFileName))) return true;
    return context.host.message(Icon::Question, Buttons::OkCancel, "Overwrite Backup Set",
                                "A Backup Set by that name already exists.  Overwrite the "
                                "existing one?") == Answer::Ok;
}

NewSetDialog::NewSetDialog(SetDocument& document)
    : m_document(document),
      m_naming(document.context().host),
      m_options(SetOptionChoices::fromRecord(document.context().config.record())) {}

void NewSetDialog::ok() {
    if (!okEnabled()) return;
    const SetContext& context = m_document.context();
    const std::string fileName = m_naming.setFileName();
    if (!confirmSetName(context, fileName)) {
        m_focus.raise();
        return;
    }
    m_chosenSetName = fileName;
    const std::string location = trim(m_naming.location());
    m_document.newSet(m_chosenSetName);
    m_document.set().defaultLocation = location;
    context.config.saveSetDefaults(m_options.compression(), checkState(m_options.freshen),
                                   checkState(m_options.addNew),
                                   checkState(m_options.addAllFolders));
    m_open = false;
}

}  // namespace corvane
