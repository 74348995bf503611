#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Every message box of the program goes through here: one OK button and a fixed text. The program
// shows real boxes; tests install a sink that records the texts instead of blocking.
class MessageSink {
public:
    enum class SaveChoice { Save, Discard, Cancel };

    virtual ~MessageSink() = default;
    // "Save changes to <name>?" with Save, Discard and Cancel.
    virtual SaveChoice askSaveChanges(const QString& text) = 0;
    virtual void showMessage(const QString& text) = 0;
    // The validation message of a dialog field; the dialog stays open afterwards.
    virtual void showValidation(QWidget* parent, const QString& text) { (void)parent; showMessage(text); }

    // The sink in use; a QMessageBox sink unless a test replaced it.
    static MessageSink& current();
    // Installs `sink` (not owned) and returns the previous one; nullptr restores the box sink.
    static MessageSink* install(MessageSink* sink);
};

// Records messages; for tests.
class RecordingMessageSink : public MessageSink {
public:
    QStringList messages;
    QStringList questions;
    SaveChoice answer = SaveChoice::Discard;
    void showMessage(const QString& text) override { messages.append(text); }
    SaveChoice askSaveChanges(const QString& text) override
    {
        questions.append(text);
        return answer;
    }
};
