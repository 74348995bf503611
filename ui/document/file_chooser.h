#pragma once

#include <QString>

#include "ui/document/installable.h"

class QWidget;

// File dialogs of the program: all files listed, no extension added. Tests install a chooser that
// hands out prepared paths.
class FileChooser : public Installable<FileChooser> {
  public:
    virtual ~FileChooser() = default;
    // An empty string means the user cancelled.
    virtual QString openFileName(QWidget* parent, const QString& caption) = 0;
    // Asks before an existing file is overwritten.
    virtual QString saveFileName(QWidget* parent, const QString& caption) = 0;

    // The program's own chooser, which shows file dialogs. current() is it unless a test installed
    // another.
    static FileChooser& standard();
};
