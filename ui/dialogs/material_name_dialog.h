#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QShowEvent;

// "Material Name": the name of a new or renamed material. Any text is accepted, the empty text
// included; names already in use are not checked.
class CMaterialNameDialog : public QDialog {
    Q_OBJECT

  public:
    // Exchanged with the edit; holds "New" unless the caller put another name in. Cancel leaves it as
    // it was opened with.
    QString name = QStringLiteral("New");

    explicit CMaterialNameDialog(QWidget* parent = nullptr);

    void updateControls();
    bool validateAndStore();

  public slots:
    void accept() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QLineEdit* nameEdit_ = nullptr;
};
