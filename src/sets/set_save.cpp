#include "common/file_io.h"
#include "common/text.h"
#include "sets/set_document.h"
#include "sets/set_file_format.h"

namespace corvane {

bool SetDocument::saveSet() {
    m_context.host.setStatusText("Saving current Backup Set...");
    BusyPointer busy(m_context.host);
    const std::string target = trim(m_set.opening ? m_set.loadedPath : m_set.setPath);
    const Status written =
        writeFileAtomically(target, formatSetFile(m_set, m_context.config.record()));
    if (!written) {
        showSetNameStatus();
        if (!m_context.flags.commandLineRun) {
            m_context.host.message(Icon::Exclamation, Buttons::Ok, "Error",
                                   "An error was encountered trying to save the Backup Set."
                                   "\r\n\r\nError # " +
                                       std::to_string(written.error().code) + ".");
        }
        return false;
    }
    // While another set is being opened this saves the previous one to its own file; the name
    // already belongs to the set being opened and stays.
    if (!m_set.opening) m_set.setName = fileNameOf(target, m_set.setFolder);
    showSetNameStatus();
    m_set.saved = true;
    return true;
}

void SetDocument::saveSetAs() {
    FileRequest request;
    request.title = "Save Backup Set As...";
    request.filter = "Corvane Sets (*.cvt)|*.cvt";
    request.initialFolder = m_context.programFolder + "Backup Sets";
    request.defaultExtension = "cvt";
    request.confirmOverwrite = true;
    const std::string chosen = m_context.host.chooseSaveFile(request);
    if (chosen.empty()) return;
    m_set.setPath = chosen;
    m_context.host.setStatusText(chosen);
    m_set.defaultLocation = chosen.substr(0, chosen.size() >= 3 ? chosen.size() - 3 : 0) + "bac";
    m_set.opening = false;
    saveSet();
}

}  // namespace corvane
