#pragma once

#include <QLineEdit>
#include <QString>
#include <functional>

// A line edit for one number of a dialog. Numbers are shown with the fewest significant digits that
// read back as the same double ("0.1", "-0.029", "0.30000000000000004"), so that OK without a change
// keeps every value bit for bit, and read strictly: after trimming, the whole text must be a finite number in
// C-locale form ("1e+21",
// "-0.5", ".5"), or a decimal integer for the integer variants. "nan", "inf", "1,5" and "2e2" as an
// integer are refused.
class NumberEdit : public QLineEdit {
    Q_OBJECT

  public:
    explicit NumberEdit(QWidget* parent = nullptr);

    void setNumber(double value);
    // A value shown in other units than the document holds it in: the shortest text whose number,
    // taken to the document's units by `toStored`, gives the same stored double as `value` does
    // ("250" for a thickness of 2.5e-8 m shown as 250.00000000000003 Angstrom).
    void setNumber(double value, const std::function<double(double)>& toStored);
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

    // The shortest 'g' text (up to 17 significant digits) that reads back as `value`.
    static QString formatNumber(double value);
    // The shortest 'g' text whose number gives toStored(value) through `toStored`.
    static QString formatNumber(double value, const std::function<double(double)>& toStored);
    // `value` with at least `decimals` digits after the point, more where they are needed to read back
    // the same double; in 'g' form when no fixed form of up to 17 decimals does ("1e-30").
    static QString formatFixed(double value, int decimals);
    static bool parseNumber(const QString& text, double& value);
    static bool parseInteger(const QString& text, int& value);
};
