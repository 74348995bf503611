#pragma once

// Stand-ins for the message boxes and file dialogs, installed by the tests in their place.
#include <QString>
#include <QStringList>

#include "ui/document/file_chooser.h"
#include "ui/document/message_sink.h"

// Records the messages and the questions, and gives `answer` to every question.
class RecordingMessageSink : public MessageSink {
  public:
    QStringList messages;
    QStringList questions;
    SaveChoice answer = SaveChoice::Discard;
    bool yes = false;
    void showMessage(const QString& text) override { messages.append(text); }
    bool askYesNo(const QString& text) override
    {
        questions.append(text);
        return yes;
    }
    SaveChoice askSaveChanges(const QString& text) override
    {
        questions.append(text);
        return answer;
    }
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
