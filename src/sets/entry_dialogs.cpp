#include "sets/entry_dialogs.h"

#include "common/text.h"
#include "config/folder_choice.h"

namespace corvane {

namespace {
constexpr std::string_view kWildcardPrefix = "** - ";
constexpr std::string_view kExclusionPrefix = "- ";
}  // namespace

TextSelection trimmedTextSelection(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return {first, text.find_last_not_of(' ') - first + 1};
}

bool EntryDialog::okEnabled() const { return !trim(m_text).empty(); }

bool EntryDialog::pressEnter() {
    if (!okEnabled()) return false;
    ok();
    return true;
}

bool EntryDialog::treeHolds(std::string_view text) const {
    const SetTree& tree = m_document.set().tree;
    for (std::size_t index = 1; index <= tree.count(); ++index) {
        if (trim(tree.at(index).text) == text) return true;
    }
    return false;
}

void EntryDialog::refuseDuplicate(std::string_view title, const std::string& text) {
    m_document.context().host.message(Icon::Exclamation, Buttons::Ok, title, text);
    m_focus.raise();
}

void WildcardDialog::chooseFolder() {
    const std::string folder = chooseFolderPath(m_document.context().host,
                                                "Select Root Folder for your WildCard:");
    if (!folder.empty()) m_text = folder;
}

void WildcardDialog::ok() {
    if (!okEnabled()) return;
    const SetContext& context = m_document.context();
    const std::string pattern = trim(m_text);
    if (!startsWith(pattern, "/")) {
        context.host.message(Icon::Exclamation, Buttons::Ok, "Invalid WildCard",
                             "Your WildCard addition must include a pathname in front of it."
                             "\r\n\r\neg:  /MyDocuments/*.doc");
        return;
    }
    BusyPointer busy(context.host);
    const std::string entry = std::string(kWildcardPrefix) + pattern;
    if (treeHolds(entry)) {
        refuseDuplicate("Duplicate WildCard", "Your backup set already contains '" + pattern +
                                                  "'.  Unable to add again.");
        return;
    }
    if (!m_document.set().tree.add(std::string(kFilesCategory), entry, entry, Picture::File)) {
        return;  // a tree that cannot take the node leaves the dialog as it was
    }
    context.commands.enable(kContentCommands, true);
    m_document.set().saved = false;
    close();
}

void ExclusionDialog::chooseFile() {
    FileRequest request;
    request.title = "Choose File to Exclude";
    request.filter = "All Files (*.*)|*.*";
    request.mustExist = true;
    const std::vector<std::string> chosen = m_document.context().host.chooseOpenFiles(request);
    if (!chosen.empty() && !chosen.front().empty()) m_text = chosen.front();
}

void ExclusionDialog::chooseFolder() {
    const std::string folder =
        chooseFolderPath(m_document.context().host, "Select Folder to Exclude:");
    if (!folder.empty()) m_text = folder + "*";
}

void ExclusionDialog::ok() {
    if (!okEnabled()) return;
    const SetContext& context = m_document.context();
    BusyPointer busy(context.host);
    std::string excluded = trim(m_text);
    if (endsWith(excluded, "/")) {
        excluded.pop_back();
        m_text = excluded;
    }
    if (excluded.empty()) return;
    const std::string entry = std::string(kExclusionPrefix) + excluded;
    if (treeHolds(entry)) {
        refuseDuplicate("Duplicate Exclusion",
                        "Exclusions already contain '" + excluded + "'.  Unable to add again.");
        return;
    }
    if (!m_document.set().tree.add(std::string(kExclusionsCategory), entry, entry,
                                   Picture::Exclusion)) {
        return;
    }
    m_document.set().saved = false;
    close();
}

}  // namespace corvane
