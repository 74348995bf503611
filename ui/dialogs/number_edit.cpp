#include "ui/number_edit.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

#include "ui/message_sink.h"

namespace {

const char* const notANumber = "Please enter a number.";
const char* const notAnInteger = "Please enter an integer.";

// The trimmed text as bytes, with one leading '+' dropped (std::from_chars takes no plus sign). Empty
// when nothing is left or a second sign follows the plus.
std::string numberBytes(const QString& text)
{
    std::string bytes = text.trimmed().toStdString();
    if (!bytes.empty() && bytes.front() == '+') {
        bytes.erase(0, 1);
        if (!bytes.empty() && (bytes.front() == '+' || bytes.front() == '-'))
            return {};
    }
    return bytes;
}

}  // namespace

NumberEdit::NumberEdit(QWidget* parent) : QLineEdit(parent) {}

QString NumberEdit::formatNumber(double value)
{
    return QString::number(value, 'g', 15);
}

bool NumberEdit::parseNumber(const QString& text, double& value)
{
    const std::string bytes = numberBytes(text);
    if (bytes.empty())
        return false;
    double parsed = 0.0;
    const char* const end = bytes.data() + bytes.size();
    const auto [stop, error] = std::from_chars(bytes.data(), end, parsed, std::chars_format::general);
    if (error != std::errc() || stop != end || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

bool NumberEdit::parseInteger(const QString& text, int& value)
{
    const std::string bytes = numberBytes(text);
    if (bytes.empty())
        return false;
    int parsed = 0;
    const char* const end = bytes.data() + bytes.size();
    const auto [stop, error] = std::from_chars(bytes.data(), end, parsed, 10);
    if (error != std::errc() || stop != end)
        return false;
    value = parsed;
    return true;
}

void NumberEdit::setNumber(double value)
{
    setText(formatNumber(value));
}

void NumberEdit::setInteger(int value)
{
    setText(QString::number(value));
}

bool NumberEdit::readNumber(double& value) const
{
    return parseNumber(text(), value);
}

bool NumberEdit::readInteger(int& value) const
{
    return parseInteger(text(), value);
}

void NumberEdit::refuse(const QString& message)
{
    MessageSink::current().showValidation(window(), message);
    setFocus(Qt::OtherFocusReason);
    selectAll();
}

bool NumberEdit::validateNumber(double& value)
{
    if (readNumber(value))
        return true;
    refuse(QString::fromLatin1(notANumber));
    return false;
}

bool NumberEdit::validateNumber(double& value, double minimum, double maximum)
{
    double parsed = 0.0;
    if (!readNumber(parsed)) {
        refuse(QString::fromLatin1(notANumber));
        return false;
    }
    if (parsed < minimum || parsed > maximum) {
        refuse(QStringLiteral("Please enter a number between %1 and %2.")
                   .arg(formatNumber(minimum), formatNumber(maximum)));
        return false;
    }
    value = parsed;
    return true;
}

bool NumberEdit::validateInteger(int& value, int minimum, int maximum)
{
    int parsed = 0;
    if (!readInteger(parsed)) {
        refuse(QString::fromLatin1(notAnInteger));
        return false;
    }
    if (parsed < minimum || parsed > maximum) {
        refuse(QStringLiteral("Please enter an integer between %1 and %2.").arg(minimum).arg(maximum));
        return false;
    }
    value = parsed;
    return true;
}
