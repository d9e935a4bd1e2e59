#include "favorites/favorites_list.h"

#include <sys/stat.h>

#include "common/text.h"
#include "favorites/favorite_record.h"
#include "schedule/list_file.h"
#include "schedule/schedule_texts.h"
#include "schedule/set_location.h"
#include "schedule/task_list.h"

namespace corvane {

namespace texts = schedule_texts;

namespace {

bool isExistingFile(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

}  // namespace

FavoritesList::FavoritesList(std::string programFolder, Host& host, DesktopPlaces places)
    : m_programFolder(std::move(programFolder)), m_host(host), m_places(std::move(places)) {}

void FavoritesList::load() {
    m_action = FavouriteAction::Nothing;
    const auto records = openListFile(m_host, favoriteListPath(m_programFolder),
                                      readFavoriteList(m_programFolder));
    if (!records) return;
    m_rows.clear();
    for (const std::string& setPath : *records) {
        if (isExistingFile(setPath)) m_rows.push_back(setPath);
    }
    m_loaded = true;
    m_removeEnabled = !m_rows.empty();
}

bool FavoritesList::click(std::optional<std::size_t> row, MouseButton button) {
    m_selected = row && *row < m_rows.size() ? row : std::nullopt;
    m_removeEnabled = m_selected.has_value();
    return button == MouseButton::Right && !m_rows.empty();
}

void FavoritesList::add() {
    if (!m_loaded) return;
    const std::string chosen = chooseBackupSet(m_host, m_programFolder);
    if (chosen.empty()) return;
    if (isListedIgnoringCase(m_rows, chosen)) {
        m_host.message(Icon::Information, Buttons::Ok, texts::kUnableToAddTitle,
                       texts::kDuplicateText);
        return;
    }
    m_rows.push_back(trim(chosen));
}

void FavoritesList::remove() {
    if (!m_selected) return;
    m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(*m_selected));
    m_selected.reset();
    m_removeEnabled = false;
}

void FavoritesList::choose(FavouriteAction action) {
    if (!m_selected) return;
    m_chosenPath = trim(m_rows[*m_selected]);
    m_action = action;
    m_closeRequested = true;
}

void FavoritesList::openBackupSet() { choose(FavouriteAction::OpenSet); }

void FavoritesList::performBackup() { choose(FavouriteAction::OpenAndBackup); }

std::string FavoritesList::chosenSetName() const {
    std::string folder;
    return fileNameOf(m_chosenPath, folder);
}

void FavoritesList::createDesktopShortcut() {
    if (!m_selected) return;
    if (m_host.message(Icon::Question, Buttons::YesNo, favorite_texts::kShortcutTitle,
                       favorite_texts::kShortcutQuestion) != Answer::Yes) {
        return;
    }
    const std::string target = trim(m_rows[*m_selected]);
    std::string folder;
    const std::string linkName = fileNameOf(m_rows[*m_selected], folder);
    const Status created =
        linkName.empty() ? Status(Error{errc::kBadFileName, "Bad file name or number"})
                         : createDesktopLink(m_places, linkName, target);
    if (!created) {
        m_host.message(Icon::Exclamation, Buttons::Ok, texts::kErrorTitle,
                       favorite_texts::kShortcutFailedText);
    }
}

void FavoritesList::close() {
    if (m_closed || !m_loaded) return;
    m_closed = true;
    BusyPointer busy(m_host);
    reportListSaveFailure(m_host, favoriteListPath(m_programFolder),
                          writeFavoriteList(m_programFolder, m_rows));
}

}  // namespace corvane
