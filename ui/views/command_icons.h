#pragma once

#include <QIcon>
#include <QString>

// The toolbar's pictures: the desktop's icon theme where it has the named icon ("document-new",
// "edit-cut", ...), else a small drawing of the same thing, so that the buttons never show letters.
enum class CommandPicture { New, Open, Save, Cut, Copy, Paste, Undo, Redo, Print, Solve, Stop, About };

QIcon commandIcon(CommandPicture picture);

// The theme's name for a picture ("document-new").
QString themeIconName(CommandPicture picture);
