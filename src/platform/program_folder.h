#pragma once

#include <string>

namespace corvane {

// The folder that holds Backup.cfg, the sets, the lists and the logs, with a trailing "/":
// $CORVANE_HOME when set; else the executable's folder when it holds Backup.cfg (a portable
// install); else $XDG_DATA_HOME/corvane/ (by default ~/.local/share/corvane/).
std::string locateProgramFolder();

// The folder of the running executable, with a trailing "/" (where cvrest and cvtimer live).
std::string executableFolder();

// The sibling program `name` (corvane, cvrest, cvtimer): beside the running executable when it
// is there, else the first executable of that name on PATH, else the path beside the
// executable, so that a failure to start it names where it was looked for.
std::string siblingProgram(const std::string& name);

// `path` made absolute against the current folder ("Daily.cvt" in /home/ann/sets gives
// /home/ann/sets/Daily.cvt), with "." and ".." steps resolved by text; an absolute path and an
// empty one are returned unchanged.
std::string absolutePath(const std::string& path);

// Appends "/" unless the text already ends in one.
std::string withTrailingSeparator(std::string folder);

// Creates a folder and any missing parents; true when it exists afterwards.
bool makeFolders(const std::string& folder);

}  // namespace corvane
