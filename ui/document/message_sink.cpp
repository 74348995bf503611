#include "ui/document/message_sink.h"

#include <QApplication>
#include <QMessageBox>

namespace {

class BoxMessageSink : public MessageSink {
  public:
    void showMessage(const QString& text) override
    {
        QMessageBox::information(QApplication::activeWindow(), QStringLiteral("Tervane"), text,
                                 QMessageBox::Ok);
    }
    SaveChoice askSaveChanges(const QString& text) override
    {
        const auto button = QMessageBox::question(
            QApplication::activeWindow(), QStringLiteral("Tervane"), text,
            QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
        if (button == QMessageBox::Save)
            return SaveChoice::Save;
        if (button == QMessageBox::Discard)
            return SaveChoice::Discard;
        return SaveChoice::Cancel;
    }
    bool askYesNo(const QString& text) override
    {
        return QMessageBox::question(QApplication::activeWindow(), QStringLiteral("Tervane"), text,
                                     QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::Yes) == QMessageBox::Yes;
    }
    void showValidation(QWidget* parent, const QString& text) override
    {
        QMessageBox::warning(parent, QStringLiteral("Tervane"), text, QMessageBox::Ok);
    }
};

} // namespace

MessageSink& MessageSink::standard()
{
    static BoxMessageSink boxSink;
    return boxSink;
}
