#pragma once

#include <QDialog>

class QShowEvent;
class NumberEdit;

namespace tervane {
class Document;
}

// Setup > Temperature...: the lattice temperature, the default temperature of layers created later.
class CTemperatureDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr double temperatureMinimum = 0.0;      // K
    static constexpr double temperatureMaximum = 10000.0;  // K

    double temperature = 0;  // K

    explicit CTemperatureDialog(QWidget* parent = nullptr);

    static void fromDocument(const tervane::Document& document, CTemperatureDialog& dialog);
    static void toDocument(const CTemperatureDialog& dialog, tervane::Document& document);

    void updateControls();
    bool validateAndStore();

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    NumberEdit* temperatureEdit_ = nullptr;
};
