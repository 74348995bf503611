#include "io/materials_toml.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "io/materials_file.h"
#include "io_test_support.h"

namespace tervane::test {
namespace {

std::string written(const std::vector<Material>& materials)
{
    std::string text;
    const IoResult result = encodeMaterialsToml(materials, text);
    EXPECT_TRUE(result.ok) << result.message;
    return text;
}

// Numbers whose shortest text is easy to get wrong (ties, subnormals, the extremes, beyond 2^53), and
// names that need quotes or escapes, or are long, come back bit for bit (compared through the binary
// form: -0.0 is not 0.0). Floats stay floats: "[3.4376, -0.0, 1e-07]".
TEST(MaterialsToml, RoundTripKeepsEveryBitOfAwkwardNumbersAndNames)
{
    std::vector<Material> materials{numberedMaterial("GaN", 1, Binary), numberedMaterial("awkward", 0)};
    materials[1].Eg = Quadratic(-0.0, 0.1, 1.0 / 3.0);
    materials[1].dEc = Quadratic(1e23, 9007199254740993.0, std::numeric_limits<double>::denorm_min());
    materials[1].eps = Quadratic(std::numeric_limits<double>::max(), -1e-300, -0.1);
    materials[1].NdaBackground = -0.0;
    const std::string names[] = {"Al\"Ga\"N a\\b\\u0041 \"\"\" '''",
                                 "\t\n\r\b\f\x01\x7F",
                                 std::string("Ga\0N", 4),
                                 "[[material]]\n# x = 1",
                                 std::string(70000, 'n'),
                                 "\xC3\x85 \xE2\x80\xA8 \xEF\xBB\xBF \xF4\x8F\xBF\xBF"};
    for (const std::string& name : names)
        materials.push_back(numberedMaterial(name, 2.0 * double(materials.size())));
    for (const std::vector<Material>& list : {materials, std::vector<Material>{}}) {
        std::vector<Material> read(1);
        ASSERT_TRUE(decodeMaterialsToml(written(list), read));
        EXPECT_EQ(encodeMaterials(read), encodeMaterials(list));
    }
    materials[0].Eg = Quadratic(3.4376, -0.0, 1e-7);
    EXPECT_NE(written({materials[0]}).find("= [3.4376, -0.0, 1e-07]\n"), std::string::npos);
}

// GaN and AlGaN as the writer puts them, with the line of AlGaN's `key` replaced by `line` (removed when
// empty); the line number of the replaced line.
std::pair<std::string, long> withLine(const std::string& key, const std::string& line)
{
    std::string text = written({numberedMaterial("GaN", 1, Binary), numberedMaterial("AlGaN", 100)});
    const std::size_t start = text.find("\n" + key + " ", text.rfind("[[material]]")) + 1;
    text.replace(start, text.find('\n', start) + (line.empty() ? 1 : 0) - start, line);
    return {text, std::count(text.begin(), text.begin() + long(start), '\n') + 1};
}

// The message says what and where, and the list read before stays; integers are numbers where exact.
TEST(MaterialsToml, ReaderRefusesSayingWhatAndWhere)
{
    const std::string second = "material 2 \"AlGaN\"";
    const struct {
        std::string key, line;
        std::vector<std::string> pieces;
    } cases[] = {
        {"name", "", {"material 2,", "\"name\"", "missing"}},
        {"Eg", "Eg = \"3.4\"", {second, "\"Eg\"", "string"}},
        {"dEc", "dEc = [0.7, 1.2, 0.7, 0]", {second, "\"dEc\"", "has 4"}},
        {"eps", "eps = [9.5, \"-0.5\", 0]", {"\"eps\"", "element 2", "string"}},
        {"mhh", "mhh = [9007199254740993, 0, 0]", {"\"mhh\"", "no exact double"}},
        {"name", "name = \"GaN\"", {"material 2 \"GaN\"", "material 1 already"}},
        {"name", "name = \"\"", {"material 2", "\"name\"", "empty"}},
        {"e33", "e15 = [0.73, 0.74, 0.0]", {"\"polarization.e15\"", "unknown"}},
        {"type", "type = \"ternary\"", {second, "\"type\"", "ternary"}},
        {"type", "type = \"Ternary", {"not valid TOML"}},
        {"", "version = 1\n[[material]]\n", {"\"version\"", "unknown", "line 1"}}, // whole texts from here
        {"", "material = 3\n", {"\"material\"", "integer", "line 1"}},
        {"", "[material]\nname = \"GaN\"\n", {"\"material\"", "table"}},
        {"", "x = t\x1B", {"line 1, column", "saw 't\\x1B'"}}}; // printable whatever the parser quotes
    for (const auto& c : cases) {
        const auto [text, line] = c.key.empty() ? std::pair{c.line, 0L} : withLine(c.key, c.line);
        const std::vector<Material> before = {numberedMaterial("Kept", 500)};
        std::vector<Material> materials = before;
        const IoResult result = decodeMaterialsToml(text, materials);
        std::vector<std::string> pieces = c.pieces;
        if (!c.line.empty() && line > 0)
            pieces.push_back("line " + std::to_string(line) + ",");
        EXPECT_FALSE(result.ok);
        for (const std::string& piece : pieces)
            EXPECT_NE(result.message.find(piece), std::string::npos) << result.message << "\nlacks " << piece;
        EXPECT_EQ(materials, before);
    }
    std::vector<Material> materials;
    const std::string integers = withLine("c13", "c13 = [103, -9007199254740992, 0x1F]").first;
    ASSERT_TRUE(decodeMaterialsToml(integers, materials));
    EXPECT_EQ(materials.at(1).polarization.c13, Quadratic(103, -9007199254740992.0, 31));
}

} // namespace
} // namespace tervane::test
