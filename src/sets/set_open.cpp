#include "common/error_log.h"
#include "common/file_io.h"
#include "common/number_text.h"
#include "common/text.h"
#include "sets/set_document.h"
#include "sets/set_file_format.h"

#include <unordered_map>

namespace corvane {

namespace {

// Finds the parent of a folder line: the node with the highest index whose text ends in "/"
// and whose trimmed text, upper-cased, is a leading part of the upper-cased trimmed line.
// Equivalent to scanning the nodes from the last one down, but by lookups of the line's
// folder prefixes instead, so opening a large set stays linear.
class ParentFinder {
public:
    void remember(const SetEntry& node, std::size_t index) {
        if (endsWith(node.text, "/")) m_highest[toUpper(trim(node.text))] = index;
    }
    std::optional<std::size_t> find(const std::string& field) const {
        const std::string upper = toUpper(trim(field));
        std::optional<std::size_t> best;
        for (std::size_t at = upper.find('/'); at != std::string::npos;
             at = upper.find('/', at + 1)) {
            const auto found = m_highest.find(upper.substr(0, at + 1));
            if (found != m_highest.end() && (!best || found->second > *best)) best = found->second;
        }
        return best;
    }

private:
    std::unordered_map<std::string, std::size_t> m_highest;
};

}  // namespace

OpenOutcome SetDocument::openSet() {
    m_set.opening = true;
    closeSet();
    m_set.opening = true;
    m_set.defaultLocation.clear();  // a file cut short before its destination line has none
    m_set.loadedPath = m_set.setPath;
    m_context.host.setStatusText("Opening Backup Set...");
    BusyPointer busy(m_context.host);
    ConfigRecord& options = m_context.config.record();
    const bool unattended = m_context.flags.commandLineRun;

    auto content = readWholeFile(trim(m_set.setPath));
    if (!content) return reportOpenError(content.error());
    auto parsed = parseSetFile(
        std::string_view(reinterpret_cast<const char*>(content->data()), content->size()));
    if (!parsed) {
        addCategories();  // an open stopped by a bad value keeps what it added so far
        return reportOpenError(parsed.error());
    }
    const SetFileContents& file = *parsed;
    if (!file.compatible) return reportIncompatible();

    addCategories();
    // A file cut short keeps the options read so far and the configured defaults for the rest.
    for (const auto& [value, target] :
         {std::pair{&file.subFolders, &options.subFolders},
          std::pair{&file.compression, &options.compression},
          std::pair{&file.freshen, &options.freshen}, std::pair{&file.addNew, &options.addNew}}) {
        if (*value) *target = **value;
    }
    if (file.defaultLocation) m_set.defaultLocation = *file.defaultLocation;

    bool dropped = false;
    ParentFinder parents;
    for (const std::string& field : file.entries) {
        const std::string text = trim(field);

        Status added;
        bool viaAddSetItem = false;
        if (startsWith(field, "-")) {
            added =
                m_set.tree.add(std::string(kExclusionsCategory), field, field, Picture::Exclusion);
        } else if (startsWith(field, "**")) {
            added = m_set.tree.add(std::string(kFilesCategory), field, field, Picture::File);
        } else {
            const auto probe = m_context.fileSystem.probe(text);
            if (!probe && !isNotFoundCode(probe.error().code)) {
                return reportOpenError(probe.error());
            }
            bool drop = false;
            if (!probe) {
                const bool verify = options.verifyExists == 1;
                if (!unattended && verify) {
                    const std::string kind = endsWith(text, "/") ? "folder" : "file";
                    const Answer answer = m_context.host.message(
                        Icon::Question, Buttons::YesNo, "Not Found",
                        "Backup " + kind + " '" + text +
                            "' no longer exists.  Continue loading Backup Set?");
                    if (answer != Answer::Yes) {
                        abandonOpen();
                        return OpenOutcome::Abandoned;
                    }
                }
                drop = verify;
                dropped = dropped || drop;
            }
            if (drop) continue;
            m_context.host.setStatusText("Reading:  " + text);
            if (!endsWith(field, "/")) {
                added = m_set.tree.add(std::string(kFilesCategory), field, field, Picture::File);
            } else if (file.allFoldersMode) {
                addSetItem(text);
                viaAddSetItem = true;
            } else {
                const auto parentIndex = parents.find(field);
                const std::string parent =
                    parentIndex ? m_set.tree.at(*parentIndex).key : std::string(kFoldersCategory);
                added = m_set.tree.add(parent, field, field, Picture::Folder);
            }
        }
        if (!added) return reportOpenError(added.error());
        if (!viaAddSetItem) parents.remember(m_set.tree.at(m_set.tree.count()), m_set.tree.count());
    }

    options.addAllFolders = file.addAllFolders;

    enableContentCommands(m_set.hasContent());
    showSetNameStatus();
    m_context.commands.enable(
        {CommandId::Add, CommandId::Save, CommandId::ActionsAdd, CommandId::ActionsDefault,
         CommandId::ActionsRemove, CommandId::FileSave, CommandId::FileSaveAs,
         CommandId::OptionsOffsite},
        true);
    if (dropped) saveSet();
    m_set.opening = false;
    for (std::size_t index = 1; index <= 3 && index <= m_set.tree.count(); ++index) {
        m_set.tree.at(index).expanded = true;
        m_set.tree.at(index).sorted = true;
    }
    return OpenOutcome::Opened;
}

OpenOutcome SetDocument::openSetAt(const std::string& path, const std::string& name) {
    m_set.loadedPath = m_set.setPath;
    m_set.setPath = path;
    m_set.setName = name;
    return openSet();
}

void SetDocument::reportUnlogged(const Status& logged) {
    if (!logged) {
        m_context.host.reportProblem("cannot write " + m_context.programFolder +
                                     "error.log: " + logged.error().description);
    }
}

OpenOutcome SetDocument::reportIncompatible() {
    if (m_context.flags.commandLineRun) {
        reportUnlogged(appendErrorLogBlock(m_context.programFolder,
                                           "Command Line Backup - Error Opening",
                                           "Error #    :  Internal Error - Incompatible Backup Set",
                                           m_set.setPath, m_context.clock.now()));
        m_context.host.showTimedErrorScreen();
    } else {
        m_context.host.message(
            Icon::Information, Buttons::Ok, "Incompatible Backup Set",
            "The Backup Set you are attempting to open was created with Corvane previous to "
            "v5.0.  Previous Backup Sets are not compatible with this version.\r\n\r\n"
            "Your Backup Set will have to be recreated using this version of Corvane.");
    }
    m_set.opening = false;
    return OpenOutcome::Incompatible;
}

OpenOutcome SetDocument::reportOpenError(const Error& error) {
    if (m_context.flags.commandLineRun) {
        reportUnlogged(appendErrorLogBlock(
            m_context.programFolder, "Command Line Backup - Error Opening",
            "Error #    : " + std::to_string(error.code) + " - " + error.description, m_set.setPath,
            m_context.clock.now()));
        m_context.host.showTimedErrorScreen();
    } else {
        m_context.host.message(Icon::Critical, Buttons::Ok, "Error",
                               "Error opening Backup Set.  Unable to load Backup.\r\n\r\nError #" +
                                   std::to_string(error.code) +
                                   ".  Description:  " + error.description + ".");
    }
    m_context.host.setStatusText(kNoSetStatus);
    m_set.opening = false;
    return OpenOutcome::Failed;
}

void SetDocument::abandonOpen() {
    m_set.tree.clear();
    m_context.host.setStatusText(kNoSetStatus);
    m_set.setPath.clear();
    m_set.opening = false;
}

}  // namespace corvane
