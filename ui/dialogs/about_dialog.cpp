#include "ui/dialogs/about_dialog.h"

#include <QApplication>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

CAboutDialog::CAboutDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Tervane"));

    QIcon icon = QApplication::windowIcon();
    if (icon.isNull())
        icon = style()->standardIcon(QStyle::SP_ComputerIcon);
    auto* iconLabel = new QLabel(this);
    iconLabel->setObjectName(QStringLiteral("iconLabel"));
    iconLabel->setPixmap(icon.pixmap(32, 32));

    auto* versionLabel = new QLabel(QStringLiteral("Tervane Alpha Version "), this);
    versionLabel->setObjectName(QStringLiteral("versionLabel"));

    auto* okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &CAboutDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(iconLabel, 0, 0, Qt::AlignTop);
    layout->addWidget(versionLabel, 0, 1, Qt::AlignLeft | Qt::AlignVCenter);
    layout->addWidget(okButton, 0, 2, Qt::AlignTop);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(1, 1);
    setMinimumWidth(330);
}
