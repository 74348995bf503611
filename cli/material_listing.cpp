#include "cli/material_listing.h"

#include <utility>

#include "cli/text_format.h"

namespace tervane::cli {

namespace {

// Wide enough for the longest key, "NddBackground", and one blank.
constexpr const char* valueLine = "  %-14s%s\n";

std::string lawLine(const char* key, const Quadratic& law)
{
    return formatText(valueLine, key, law.toText().c_str());
}

std::string backgroundLine(const char* key, double density)
{
    return formatText(valueLine, key, formatText("%.3e cm^-3", density).c_str());
}

// A file may hold a type other than 0 or 1; it is shown as its number rather than guessed at.
std::string typeName(int type)
{
    if (type == Binary)
        return "Binary";
    if (type == Ternary)
        return "Ternary";
    return formatText("type %d", type);
}

} // namespace

std::string materialListing(const Material& material)
{
    std::string text = printableName(material.name) + " (" + typeName(material.type) + ")\n";

    const std::pair<const char*, const Quadratic*> laws[] = {
        {"Eg", &material.Eg},
        {"dEc", &material.dEc},
        {"eps", &material.eps},
        {"EaShallow", &material.EaShallow},
        {"EdShallow", &material.EdShallow},
        {"EaDeep", &material.EaDeep},
        {"EdDeep", &material.EdDeep},
        {"me", &material.me},
        {"mhh", &material.mhh},
        {"mlh", &material.mlh},
    };
    for (const auto& [key, law] : laws)
        text += lawLine(key, *law);

    text += backgroundLine("NdBackground", material.NdBackground);
    text += backgroundLine("NaBackground", material.NaBackground);
    text += backgroundLine("NddBackground", material.NddBackground);
    text += backgroundLine("NdaBackground", material.NdaBackground);

    const Polarization& polarization = material.polarization;
    const std::pair<const char*, const Quadratic*> polarizationLaws[] = {
        {"a", &polarization.a},     {"Psp", &polarization.Psp}, {"c13", &polarization.c13},
        {"c33", &polarization.c33}, {"e31", &polarization.e31}, {"e33", &polarization.e33},
    };
    for (const auto& [key, law] : polarizationLaws)
        text += lawLine(key, *law);
    return text;
}

} // namespace tervane::cli
