#pragma once

#include <QLineEdit>
#include <QString>

// A line edit for one number of a dialog. Numbers are shown with 15 significant digits ("%.15g") and
// read strictly: after trimming, the whole text must be a finite number in C-locale form ("1e+21",
// "-0.5", ".5"), or a decimal integer for the integer variants. "nan", "inf", "1,5" and "2e2" as an
// integer are refused.
class NumberEdit : public QLineEdit {
    Q_OBJECT

  public:
    explicit NumberEdit(QWidget* parent = nullptr);

    void setNumber(double value);
    void setInteger(int value);

    // False, and `value` untouched, when the text is not a number of the kind asked for.
    bool readNumber(double& value) const;
    bool readInteger(int& value) const;

    // Reading for a dialog's OK: on failure the validation message is shown, this edit takes the focus
    // with its text selected, and false is returned. The range is inclusive.
    bool validateNumber(double& value);
    bool validateNumber(double& value, double minimum, double maximum);
    bool validateInteger(int& value, int minimum, int maximum);

    // Shows `message` as the validation message of this field, then focuses and selects it.
    void refuse(const QString& message);

    static QString formatNumber(double value);
    static bool parseNumber(const QString& text, double& value);
    static bool parseInteger(const QString& text, int& value);
};
