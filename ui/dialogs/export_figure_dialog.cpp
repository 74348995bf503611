#include "ui/dialogs/export_figure_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>

#include "ui/dialogs/number_edit.h"
#include "ui/views/figure.h"

CExportFigureDialog::CExportFigureDialog(QWidget* parent)
    : SettingsDialog(QStringLiteral("Export Figure"), parent)
{
    auto* layout = new QGridLayout(this);
    widthEdit_ = addNumberRow(layout, 0, QStringLiteral("Width (px):"), QStringLiteral("widthEdit"));
    heightEdit_ = addNumberRow(layout, 1, QStringLiteral("Height (px):"), QStringLiteral("heightEdit"));
    dpiEdit_ = addNumberRow(layout, 2, QStringLiteral("Resolution of PNG (dpi):"), QStringLiteral("dpiEdit"));
    layout->addWidget(okCancelButtons(), 0, 2, 4, 1);
    layout->setRowStretch(3, 1);
}

void CExportFigureDialog::fromDocument(const FigureOptions& options, CExportFigureDialog& dialog)
{
    dialog.width = options.size.width();
    dialog.height = options.size.height();
    dialog.dpi = options.dpi;
}

void CExportFigureDialog::toDocument(const CExportFigureDialog& dialog, FigureOptions& options)
{
    options.size = QSize(dialog.width, dialog.height);
    options.dpi = dialog.dpi;
}

void CExportFigureDialog::updateControls()
{
    widthEdit_->setInteger(width);
    heightEdit_->setInteger(height);
    dpiEdit_->setInteger(dpi);
}

bool CExportFigureDialog::validateAndStore()
{
    int w = 0;
    int h = 0;
    int d = 0;
    if (!widthEdit_->validateInteger(w, sizeMinimum, sizeMaximum) ||
        !heightEdit_->validateInteger(h, sizeMinimum, sizeMaximum) ||
        !dpiEdit_->validateInteger(d, dpiMinimum, dpiMaximum))
        return false;
    width = w;
    height = h;
    dpi = d;
    return true;
}
