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

} // namespace tervane
