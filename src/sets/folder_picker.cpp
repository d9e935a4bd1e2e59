#include "sets/folder_picker.h"

#include "common/text.h"

namespace corvane {

void FolderPicker::selectFolder(std::string path) {
    m_selectionIsFolder = startsWith(path, "/");
    if (m_selectionIsFolder) m_remembered = std::move(path);
}

void FolderPicker::addSelectedFolder() {
    if (!addEnabled()) return;
    BusyPointer busy(m_document.context().host);
    m_idle = false;
    m_document.addFolder(m_remembered);
    m_idle = true;
}

}  // namespace corvane
