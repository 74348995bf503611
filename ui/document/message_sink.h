#pragma once

#include <QString>

#include "ui/document/installable.h"

class QWidget;

// Every message box of the program goes through here: one OK button and a fixed text. The program
// shows real boxes; tests install a sink that records the texts instead of blocking.
class MessageSink : public Installable<MessageSink> {
  public:
    enum class SaveChoice { Save, Discard, Cancel };

    virtual ~MessageSink() = default;
    // "Save changes to <name>?" with Save, Discard and Cancel.
    virtual SaveChoice askSaveChanges(const QString& text) = 0;
    virtual void showMessage(const QString& text) = 0;
    // A question with Yes and No; true for Yes. Sinks that never ask answer No.
    virtual bool askYesNo(const QString& text)
    {
        (void)text;
        return false;
    }
    // The validation message of a dialog field; the dialog stays open afterwards.
    virtual void showValidation(QWidget* parent, const QString& text)
    {
        (void)parent;
        showMessage(text);
    }

    // The program's own sink, which shows message boxes. current() is it unless a test installed
    // another.
    static MessageSink& standard();
};
