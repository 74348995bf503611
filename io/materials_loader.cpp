#include "io/materials_loader.h"

#include <algorithm>
#include <cctype>

#include "io/file_util.h"
#include "io/materials_file.h"
#include "io/materials_toml.h"

namespace tervane {

namespace {

bool endsWithIgnoringCase(const std::string& text, std::string_view ending)
{
    if (text.size() < ending.size())
        return false;
    return std::equal(ending.begin(), ending.end(), text.end() - static_cast<std::ptrdiff_t>(ending.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

} // namespace

std::optional<MaterialsFormat> materialsFormatOfName(const std::string& path)
{
    if (endsWithIgnoringCase(path, ".toml"))
        return MaterialsFormat::Toml;
    if (endsWithIgnoringCase(path, ".tvm"))
        return MaterialsFormat::Binary;
    return std::nullopt;
}

MaterialsFormat detectMaterialsFormat(const std::string& path, std::string_view bytes)
{
    if (looksLikeMaterialsToml(bytes) || materialsFormatOfName(path) == MaterialsFormat::Toml)
        return MaterialsFormat::Toml;
    return MaterialsFormat::Binary;
}

IoResult loadMaterials(const std::string& path, std::vector<Material>& materials)
{
    // Read once, so that detection and decoding see the same bytes.
    std::string bytes;
    if (IoResult result = readWholeFile(path, bytes); !result)
        return result;
    return detectMaterialsFormat(path, bytes) == MaterialsFormat::Toml ? decodeMaterialsToml(bytes, materials)
                                                                       : decodeMaterials(bytes, materials);
}

IoResult saveMaterials(const std::string& path, const std::vector<Material>& materials,
                       MaterialsFormat format)
{
    return format == MaterialsFormat::Toml ? saveMaterialsTomlFile(path, materials)
                                           : saveMaterialsFile(path, materials);
}

} // namespace tervane
