#include "ui/document/file_chooser.h"

#include <QFileDialog>

namespace {

class DialogFileChooser : public FileChooser {
  public:
    QString openFileName(QWidget* parent, const QString& caption) override
    {
        return QFileDialog::getOpenFileName(parent, caption, QString(), QString(), nullptr,
                                            QFileDialog::ReadOnly);
    }
    QString saveFileName(QWidget* parent, const QString& caption) override
    {
        return QFileDialog::getSaveFileName(parent, caption);
    }
};

} // namespace

FileChooser& FileChooser::standard()
{
    static DialogFileChooser dialogChooser;
    return dialogChooser;
}
