#pragma once

#include <string>
#include <string_view>

#include "common/result.h"

namespace corvane {

// The MIME type of Backup Set files, which the desktop opens with corvane.
inline constexpr std::string_view kSetMimeType = "application/x-corvane-set";

// Where the desktop's files live for this user. Each folder ends in "/".
struct DesktopPlaces {
    std::string desktopFolder;   // where links are put
    std::string dataHome;        // $XDG_DATA_HOME: applications/ and mime/ below it
    std::string configHome;      // $XDG_CONFIG_HOME: mimeapps.list
    std::string corvaneProgram;  // the program that opens set files
};

// The user's places: the desktop folder from `xdg-user-dir DESKTOP` (else ~/Desktop), the XDG
// data and configuration folders (else ~/.local/share and ~/.config), and corvane beside the
// running executable.
DesktopPlaces locateDesktopPlaces();

// The desktop link to a set file: a freedesktop entry of type Link named `linkName` whose URL
// is the file.
std::string desktopLinkEntry(std::string_view linkName, std::string_view target);

// The shared-mime-info package that gives "*.cvt" files the set MIME type.
std::string setMimeTypePackage();

// corvane.desktop: the application entry that opens set files with `corvaneProgram`, which then
// backs the set up as a command-line run.
std::string corvaneDesktopEntry(std::string_view corvaneProgram);

// Makes the desktop open set files with corvane: installs the MIME package and corvane.desktop
// under the data folder, makes corvane.desktop the default for the type in mimeapps.list
// (keeping every other line), and refreshes the desktop's caches when their tools are present.
Status installSetAssociation(const DesktopPlaces& places);

// Puts the link `linkName`.desktop to `target` into the desktop folder (creating the folder when
// missing, replacing an older link of that name) and installs the association of set files.
Status createDesktopLink(const DesktopPlaces& places, std::string_view linkName,
                         std::string_view target);

}  // namespace corvane
