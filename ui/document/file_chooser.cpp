#include "ui/file_chooser.h"

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

DialogFileChooser dialogChooser;
FileChooser* installed = nullptr;

}  // namespace

FileChooser& FileChooser::current()
{
    return installed ? *installed : static_cast<FileChooser&>(dialogChooser);
}

FileChooser* FileChooser::install(FileChooser* chooser)
{
    FileChooser* previous = installed;
    installed = chooser;
    return previous;
}
