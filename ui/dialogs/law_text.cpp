#include "ui/dialogs/law_text.h"

#include "ui/dialogs/number_edit.h"

namespace {
constexpr int materialDecimals = 2;
constexpr int layerDecimals = 3;
} // namespace

QString materialLawText(const tervane::Quadratic& law)
{
    const auto text = [](double value) { return NumberEdit::formatFixed(value, materialDecimals); };
    return text(law.a) + QLatin1Char('+') + text(law.b) + QStringLiteral("x+") + text(law.c) +
           QStringLiteral("x^2");
}

QString layerLawText(const tervane::Quadratic& law)
{
    const auto text = [](double value) { return NumberEdit::formatFixed(value, layerDecimals); };
    return text(law.c) + QStringLiteral(" x^2+") + text(law.b) + QStringLiteral(" x+") + text(law.a);
}
