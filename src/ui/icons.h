#pragma once

#include "host/command_id.h"
#include "sets/set_tree.h"

#include <QIcon>
#include <QPixmap>
#include <string_view>

namespace corvane::ui {

// The picture of a command: from the desktop's icon theme when it has one, else Corvane's own.
QIcon commandIcon(CommandId id);

// Corvane's own drawing for a freedesktop icon name (every name the program uses has one).
QIcon bundledIcon(std::string_view name);

// The pictures of the set tree's nodes: "Backup" (categories), "Folder", "File", "Exclusion".
QIcon pictureIcon(Picture picture);

// The program's own icon.
QIcon programIcon();

// The splash window's picture.
QPixmap splashPicture();

// The picture of a wizard step (1 to 3).
QPixmap wizardStepPicture(int step);

}  // namespace corvane::ui
