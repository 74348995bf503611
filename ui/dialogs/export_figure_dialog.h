#pragma once

#include "ui/dialogs/settings_dialog.h"

struct FigureOptions;

// File > Export Figure...: the figure's size in pixels and, for PNG, its resolution. The size starts
// at the panes' size on the screen.
class CExportFigureDialog : public SettingsDialog {
    Q_OBJECT

  public:
    static constexpr int sizeMinimum = 100;   // px
    static constexpr int sizeMaximum = 20000; // px
    static constexpr int dpiMinimum = 24;
    static constexpr int dpiMaximum = 2400;

    int width = 0;
    int height = 0;
    int dpi = 96;

    explicit CExportFigureDialog(QWidget* parent = nullptr);

    static void fromDocument(const FigureOptions& options, CExportFigureDialog& dialog);
    static void toDocument(const CExportFigureDialog& dialog, FigureOptions& options);

    void updateControls() override;
    bool validateAndStore() override;

  private:
    NumberEdit* widthEdit_ = nullptr;
    NumberEdit* heightEdit_ = nullptr;
    NumberEdit* dpiEdit_ = nullptr;
};
