#include "ui/dialogs/number_edit.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <system_error>

#include "ui/document/message_sink.h"

namespace {

const char* const notANumber = "Please enter a number.";
const char* const notAnInteger = "Please enter an integer.";

// Significant digits (or decimals) enough for any double to read back as itself, and the fewest tried
// (as "%g" does: fewer would write 1000 as "1e+03").
constexpr int maximumDigits = 17;
constexpr int minimumDigits = 6;

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

// The whole of the trimmed text as a finite T, read by std::from_chars with `format`; `value` is set
// only on success.
template <typename T, typename Format> bool parse(const QString& text, T& value, Format format)
{
    const std::string bytes = numberBytes(text);
    if (bytes.empty())
        return false;
    T parsed{};
    const char* const end = bytes.data() + bytes.size();
    const auto [stop, error] = std::from_chars(bytes.data(), end, parsed, format);
    if (error != std::errc() || stop != end || !std::isfinite(static_cast<double>(parsed)))
        return false;
    value = parsed;
    return true;
}

// `parsed` into `value` when it was `read` and lies within the range; otherwise `edit` is refused
// with `notRead` or `outOfRange`.
template <typename T>
bool takeInRange(NumberEdit& edit, bool read, T parsed, T minimum, T maximum, T& value, const char* notRead,
                 const QString& outOfRange)
{
    if (!read) {
        edit.refuse(QString::fromLatin1(notRead));
        return false;
    }
    if (parsed < minimum || parsed > maximum) {
        edit.refuse(outOfRange);
        return false;
    }
    value = parsed;
    return true;
}

} // namespace

NumberEdit::NumberEdit(QWidget* parent) : QLineEdit(parent) {}

QString NumberEdit::formatNumber(double value)
{
    return formatNumber(value, [](double shown) { return shown; });
}

QString NumberEdit::formatNumber(double value, const std::function<double(double)>& toStored)
{
    const double stored = toStored(value);
    for (int digits = minimumDigits; digits < maximumDigits; ++digits) {
        const QString text = QString::number(value, 'g', digits);
        double read = 0.0;
        // Equal as bits, so that -0 stays -0.
        if (parseNumber(text, read) &&
            std::bit_cast<std::uint64_t>(toStored(read)) == std::bit_cast<std::uint64_t>(stored))
            return text;
    }
    return QString::number(value, 'g', maximumDigits);
}

QString NumberEdit::formatFixed(double value, int decimals)
{
    for (int places = decimals; places <= maximumDigits; ++places) {
        const QString text = QString::number(value, 'f', places);
        double read = 0.0;
        if (parseNumber(text, read) && read == value)
            return text;
    }
    return formatNumber(value);
}

bool NumberEdit::parseNumber(const QString& text, double& value)
{
    return parse(text, value, std::chars_format::general);
}

bool NumberEdit::parseInteger(const QString& text, int& value)
{
    return parse(text, value, 10);
}

void NumberEdit::setNumber(double value)
{
    setText(formatNumber(value));
}

void NumberEdit::setNumber(double value, const std::function<double(double)>& toStored)
{
    setText(formatNumber(value, toStored));
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
    const bool read = readNumber(parsed);
    return takeInRange(*this, read, parsed, minimum, maximum, value, notANumber,
                       QStringLiteral("Please enter a number between %1 and %2.")
                           .arg(formatNumber(minimum), formatNumber(maximum)));
}

bool NumberEdit::validateInteger(int& value, int minimum, int maximum)
{
    int parsed = 0;
    const bool read = readInteger(parsed);
    return takeInRange(
        *this, read, parsed, minimum, maximum, value, notAnInteger,
        QStringLiteral("Please enter an integer between %1 and %2.").arg(minimum).arg(maximum));
}
