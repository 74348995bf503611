#include "model/material.h"

namespace tervane {

MaterialValues Material::valuesAt(double x) const
{
    MaterialValues v;
    v.Eg = Eg.value(x);
    v.dEc = dEc.value(x);
    v.epsr = eps.value(x);
    v.me = me.value(x);
    v.mhh = mhh.value(x);
    v.mlh = mlh.value(x);
    v.EdShallow = EdShallow.value(x);
    v.EaShallow = EaShallow.value(x);
    v.EdDeep = EdDeep.value(x);
    v.EaDeep = EaDeep.value(x);
    return v;
}

bool Material::operator==(const Material& other) const
{
    return type == other.type && Eg == other.Eg && dEc == other.dEc && eps == other.eps &&
           EaShallow == other.EaShallow && EdShallow == other.EdShallow && EaDeep == other.EaDeep &&
           EdDeep == other.EdDeep && me == other.me && mhh == other.mhh && mlh == other.mlh &&
           NddBackground == other.NddBackground && NdaBackground == other.NdaBackground &&
           NaBackground == other.NaBackground && NdBackground == other.NdBackground &&
           polarization == other.polarization && name == other.name;
}

const Material* findMaterial(const std::vector<Material>& materials, std::string_view name)
{
    for (const Material& material : materials)
        if (material.name == name)
            return &material;
    return nullptr;
}

Material* findMaterial(std::vector<Material>& materials, std::string_view name)
{
    for (Material& material : materials)
        if (material.name == name)
            return &material;
    return nullptr;
}

namespace {

// Length of the well-formed UTF-8 sequence at the start of `text` (no overlong forms, surrogates or
// code points above U+10FFFF), or 0 when it does not start with one.
std::size_t utf8SequenceLength(std::string_view text)
{
    const auto byteAt = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byteAt(0);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() < length || byteAt(1) < low || byteAt(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byteAt(i) < 0x80 || byteAt(i) > 0xBF)
            return 0;
    return length;
}

}  // namespace

std::string printableName(std::string_view name)
{
    static constexpr char hexDigits[] = "0123456789ABCDEF";
    std::string shown;
    std::size_t i = 0;
    while (i < name.size()) {
        const auto byte = static_cast<unsigned char>(name[i]);
        const std::size_t length = utf8SequenceLength(name.substr(i));
        if (length == 0 || byte < 0x20 || byte == 0x7F) {
            shown += "\\x";
            shown += hexDigits[byte >> 4];
            shown += hexDigits[byte & 0xF];
            ++i;
        } else {
            shown.append(name.substr(i, length));
            i += length;
        }
    }
    return shown;
}

}  // namespace tervane
