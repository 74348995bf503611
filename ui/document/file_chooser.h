#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// File dialogs of the program: all files listed, no extension added. Tests install a chooser that
// hands out prepared paths.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    // An empty string means the user cancelled.
    virtual QString openFileName(QWidget* parent, const QString& caption) = 0;
    // Asks before an existing file is overwritten.
    virtual QString saveFileName(QWidget* parent, const QString& caption) = 0;

    static FileChooser& current();
    static FileChooser* install(FileChooser* chooser);
};

// Hands out queued answers in order; an empty queue answers "cancelled".
class ScriptedFileChooser : public FileChooser {
public:
    QStringList answers;
    QString openFileName(QWidget*, const QString&) override { return next(); }
    QString saveFileName(QWidget*, const QString&) override { return next(); }

private:
    QString next() { return answers.isEmpty() ? QString() : answers.takeFirst(); }
};
