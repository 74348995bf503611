#include "io/materials_toml.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "io/materials_file.h"
#include "io_test_support.h"

namespace tervane {
namespace {

constexpr double tolEnergy = 1e-9; // eV, and the same for the other laws in their units
constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

using testing::allNumbers;
using testing::distinctMaterial;
using testing::lawsOf;

// Bit for bit, through the binary form whose layout the materials file tests check by hand: -0.0
// against 0.0 counts as a difference, and names and types are compared too.
void expectIdentical(const std::vector<Material>& expected, const std::vector<Material>& actual)
{
    EXPECT_EQ(encodeMaterials(expected), encodeMaterials(actual));
}

const std::vector<Material> sentinel = {distinctMaterial("Sentinel", 500.0, Ternary),
                                        distinctMaterial("Other", -7.0, Binary)};

std::string written(const std::vector<Material>& materials)
{
    std::string text;
    const IoResult result = encodeMaterialsToml(materials, text);
    EXPECT_TRUE(result.ok) << result.message;
    return text;
}

std::vector<Material> roundTrip(const std::vector<Material>& materials)
{
    std::vector<Material> read;
    const IoResult parsed = decodeMaterialsToml(written(materials), read);
    EXPECT_TRUE(parsed.ok) << parsed.message;
    return read;
}

// The message holds every one of the expected pieces.
void expectMessage(const IoResult& result, const std::vector<std::string>& pieces)
{
    EXPECT_FALSE(result.ok);
    for (const std::string& piece : pieces)
        EXPECT_NE(result.message.find(piece), std::string::npos) << result.message << "\nlacks: " << piece;
}

// ----------------------------------------------------------------------------------------------------
// Round trips

// Numbers whose shortest text is easy to get wrong (ties, subnormals, the extremes, beyond 2^53), and
// names that need quotes or escapes, or are long.
TEST(MaterialsTomlRoundTrip, KeepsEveryFieldTheOrderAwkwardNumbersAndNamesBitForBit)
{
    std::vector<Material> materials{distinctMaterial("GaN", 1.0, Binary), distinctMaterial("AlGaN", -3.0)};
    for (double value :
         {-0.0, 0.1, 1.0 / 3.0, 1e23, 9007199254740993.0, std::numeric_limits<double>::denorm_min(),
          std::nextafter(std::numeric_limits<double>::min(), 0.0), std::numeric_limits<double>::max(),
          std::numeric_limits<double>::lowest(), -1e-300}) {
        Material m;
        m.name = "X" + std::to_string(materials.size());
        for (double* number : allNumbers(m))
            *number = value;
        materials.push_back(m);
    }
    for (const std::string& name :
         {std::string("GaN "), std::string("Al\"Ga\"N a\\b\\u0041 \"\"\" '''"),
          std::string("\t\n\r\b\f\x01\x1F\x7F"), std::string("Ga\0N", 4),
          std::string("[[material]]\n# x = 1"),
          std::string("\xC3\x85 \xC2\x85 \xE2\x80\xA8 \xEF\xBB\xBF \xF4\x8F\xBF\xBF"),
          std::string(70000, 'n')})
        materials.push_back(distinctMaterial(name, 2.0 * double(materials.size())));
    expectIdentical(materials, roundTrip(materials));
    expectIdentical({}, roundTrip({}));
}

// The shortest text that reads back, and floats stay floats: a law of zeros is [0.0, 0.0, 0.0].
TEST(MaterialsTomlRoundTrip, WritesShortestNumbersThatStayFloats)
{
    Material gan;
    gan.name = "GaN";
    gan.Eg = Quadratic(3.4376, -0.0, 1e-7);
    gan.NdBackground = 1e17;
    const std::string text = written({gan});
    for (const char* expected : {"[3.4376, -0.0, 1e-07]", "= 1e+17\n", "= [0.0, 0.0, 0.0]"})
        EXPECT_NE(text.find(expected), std::string::npos) << text;
}

// ----------------------------------------------------------------------------------------------------
// What the writer refuses: the message names material and key, and nothing is written.

struct WriteRefusalCase {
    void (*spoil)(Material& second);
    std::vector<std::string> expectedInMessage;
};

TEST(MaterialsTomlWrite, RefusesWhatTheReaderCouldNotTakeBack)
{
    // clang-format off
    const WriteRefusalCase cases[] = {
        {[](Material& m) { m.Eg.b = infinity; }, {"material 2 \"AlN\"", "\"Eg\"", "inf"}},
        {[](Material& m) { m.NdaBackground = -infinity; }, {"\"NdaBackground\"", "-inf"}},
        {[](Material& m) { m.type = 2; }, {"material 2 \"AlN\"", "\"type\"", "2"}},
        {[](Material& m) { m.name.clear(); }, {"material 2", "\"name\"", "empty"}},
        {[](Material& m) { m.name = "GaN"; }, {"material 2 \"GaN\"", "\"name\"", "material 1"}},
        {[](Material& m) { m.name = "Ga\xFFN"; }, {"material 2 \"Ga\\xFFN\"", "\"name\"", "UTF-8", "byte 3"}},
        {[](Material& m) { m.name = "a\xC0\x80"; }, {"\"name\"", "UTF-8", "byte 2"}},        // overlong NUL
    };
    // clang-format on
    for (const WriteRefusalCase& c : cases) {
        std::vector<Material> materials{distinctMaterial("GaN", 1.0, Binary),
                                        distinctMaterial("AlN", 2.0, Binary)};
        c.spoil(materials[1]);
        std::string out = "previous text";
        expectMessage(encodeMaterialsToml(materials, out), c.expectedInMessage);
        EXPECT_EQ(out, "previous text");
    }
}

// ----------------------------------------------------------------------------------------------------
// Reading hand-written text

// GaN as the writer puts it, then AlGaN as a person would write it; the malformed cases spoil the second.
const std::string validDocument = written({distinctMaterial("GaN", 1.0, Binary)}) + R"(
[[material]]
name = "AlGaN"
type = "Ternary"
source = "hand-written for the test"
notes = """
x is the Al fraction."""
Eg = [3.4376, 2.02051, 0.7]
dEc = [0.7976, 1.22051, 0.7]
eps = [9.5, -0.5, 0]
EaShallow = [0.17, 0.34, 0.0]
EdShallow = [0.015, 0.235, 0.0]
EaDeep = [0.9, 0.0, 0.0]
EdDeep = [1.65, 0.0, 0.0]
me = [0.2, 0.12, 0.0]
mhh = [1.887, 1.684, 0.0]
mlh = [0.139, 0.12, 0.0]
NdBackground = 1e16
NaBackground = 0
NddBackground = 2.5e15
NdaBackground = 0.0
[material.polarization]
a = [3.189, -0.077, 0.0]
Psp = [-0.029, -0.052, 0.0]
c13 = [103, 5, 0]
c33 = [405.0, -32.0, 0.0]
e31 = [-0.49, -0.11, 0.0]
e33 = [0.73, 0.73, 0.0]
)";

const std::string secondPolarizationTable =
    validDocument.substr(validDocument.rfind("[material.polarization]"));

// The valid document with `from` replaced by `to` within the second material.
std::string spoiled(const std::string& from, const std::string& to)
{
    const std::size_t at = validDocument.find(from, validDocument.find("name = \"AlGaN\""));
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos
               ? validDocument
               : validDocument.substr(0, at) + to + validDocument.substr(at + from.size());
}

std::vector<Material> decodedOk(const std::string& text)
{
    std::vector<Material> materials = sentinel;
    const IoResult result = decodeMaterialsToml(text, materials);
    EXPECT_TRUE(result.ok) << result.message << "\n" << text;
    return materials;
}

TEST(MaterialsTomlRead, HandWrittenLibraryGivesTheRecords)
{
    const std::vector<Material> materials = decodedOk(validDocument);
    ASSERT_EQ(materials.size(), 2u);
    EXPECT_EQ(materials[1].name, "AlGaN");
    EXPECT_EQ(materials[1].type, Ternary);
    // Integers in a law or a density are numbers: "c13 = [103, 5, 0]", "NaBackground = 0".
    EXPECT_EQ(materials[1].polarization.c13, Quadratic(103.0, 5.0, 0.0));
    EXPECT_EQ(materials[1].polarization.e33, Quadratic(0.73, 0.73, 0.0));
    EXPECT_EQ(materials[1].NdBackground, 1e16);
    EXPECT_EQ(materials[1].NddBackground, 2.5e15);
    // Each key lands in its own field: the AlGaN values at x = 1 are AlN's.
    const MaterialValues aln = materials[1].valuesAt(1.0);
    const std::pair<double, double> values[] = {{aln.Eg, 6.15811},     {aln.dEc, 2.71811},    {aln.epsr, 9.0},
                                                {aln.EaShallow, 0.51}, {aln.EdShallow, 0.25}, {aln.me, 0.32},
                                                {aln.mhh, 3.571},      {aln.mlh, 0.259}};
    for (const auto& [value, expected] : values)
        EXPECT_NEAR(value, expected, tolEnergy);

    // Source and notes are optional and not kept; exact integers are taken as numbers.
    expectIdentical(materials,
                    decodedOk(spoiled("source = \"hand-written for the test\"\nnotes = \"\"\"\nx is "
                                      "the Al fraction.\"\"\"\n",
                                      "")));
    const std::string integers = spoiled("Eg = [3.4376, 2.02051, 0.7]", "Eg = [3, -9007199254740992, 0x10]");
    EXPECT_EQ(decodedOk(integers).at(1).Eg, Quadratic(3.0, -9007199254740992.0, 16.0));
}

struct MalformedCase {
    std::string from; // replaced within the second material
    std::string to;
    std::vector<std::string> expectedInMessage;
    std::string lineMarker; // when not empty, the message gives the line on which this text last appears
    friend void PrintTo(const MalformedCase& row, std::ostream* out) { *out << row.from << " -> " << row.to; }
};

class MaterialsTomlMalformed : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MaterialsTomlMalformed, IsRefusedNamingMaterialKeyAndLineAndLeavesTheListAlone)
{
    const MalformedCase& param = GetParam();
    const std::string text = spoiled(param.from, param.to);
    std::vector<Material> materials = sentinel;
    const IoResult result = decodeMaterialsToml(text, materials);
    expectMessage(result, param.expectedInMessage);
    if (!param.lineMarker.empty()) {
        const std::size_t at = text.rfind(param.lineMarker);
        const std::string line =
            "line " + std::to_string(1 + std::count(text.begin(), text.begin() + long(at), '\n'));
        EXPECT_NE(result.message.find(line + ","), std::string::npos)
            << result.message << "\nlacks: " << line;
    }
    expectIdentical(sentinel, materials);
}

const std::string second = "material 2 \"AlGaN\"";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Reader, MaterialsTomlMalformed, ::testing::Values(
    MalformedCase{"dEc = [0.7976, 1.22051, 0.7]\n", "", {second, "\"dEc\"", "missing"}, ""},
    MalformedCase{"name = \"AlGaN\"\n", "", {"material 2,", "\"name\"", "missing"}, ""},
    MalformedCase{secondPolarizationTable, "", {second, "\"polarization\"", "missing"}, ""},
    MalformedCase{"Eg = [3.4376, 2.02051, 0.7]", "Eg = \"3.4\"", {second, "\"Eg\"", "string"}, "Eg = \""},
    MalformedCase{"mlh = [0.139, 0.12, 0.0]", "mlh = 0.139", {second, "\"mlh\"", "three"}, "mlh = 0.139"},
    MalformedCase{"dEc = [0.7976, 1.22051, 0.7]", "dEc = [0.7, 1.2, 0.7, 0.0]", {second, "\"dEc\"", "has 4"}, "dEc ="},
    MalformedCase{"eps = [9.5, -0.5, 0]", "eps = [9.5, \"-0.5\", 0]", {"\"eps\"", "element 2", "string"}, "eps ="},
    MalformedCase{"EaDeep = [0.9, 0.0, 0.0]", "EaDeep = [[0.9], 0, 0]", {"\"EaDeep\"", "element 1", "array"}, "EaDeep"},
    MalformedCase{"NdBackground = 1e16", "NdBackground = nan", {second, "\"NdBackground\"", "nan"}, "NdBackground ="},
    MalformedCase{"mhh = [1.887, 1.684, 0.0]", "mhh = [9007199254740993, 0, 0]", {"\"mhh\"", "9007199254740993"}, "mhh"},
    MalformedCase{"name = \"AlGaN\"", "name = \"GaN\"", {"material 2 \"GaN\"", "\"name\"", "material 1"}, "name = \"GaN\""},
    MalformedCase{"name = \"AlGaN\"", "name = \"\"", {"material 2", "\"name\"", "empty"}, "name = \"\""},
    MalformedCase{"name = \"AlGaN\"", "name = 7", {"material 2,", "\"name\"", "integer"}, "name = 7"},
    MalformedCase{"e33 = [0.73, 0.73, 0.0]", "e15 = [0.73, 0.73, 0.0]", {"\"polarization.e15\"", "unknown"}, "e15"},
    MalformedCase{"type = \"Ternary\"", "type = \"ternary\"", {second, "\"type\"", "ternary"}, "type = "},
    MalformedCase{"type = \"Ternary\"", "type = 1", {second, "\"type\"", "integer"}, "type = "},
    MalformedCase{"source = \"hand-written for the test\"", "source = 2024", {"\"source\"", "integer"}, "source = "},
    MalformedCase{secondPolarizationTable, "polarization = [1]\n", {"\"polarization\"", "array"}, "polarization = "}));
// clang-format on

TEST(MaterialsTomlRead, BrokenDocumentsAreRefusedWithWhereAndLeaveTheListAlone)
{
    // clang-format off
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"# x\n[[material]]\nname = \"GaN\ntype = \"Binary\"\n", {"not valid TOML", "line 3, column"}},
        {"[[material]]\nname = \"GaN\"\nEg = [1, 2, 3]\nEg = [1, 2, 3]\n", {"not valid TOML", "line 4, column"}},
        {"version = 1\n[[material]]\n", {"\"version\"", "unknown", "line 1"}},
        {"material = 3\n", {"\"material\"", "integer", "line 1"}},
        {"material = [1]\n", {"material 1", "integer"}},
        {"[material]\nname = \"GaN\"\n", {"\"material\"", "table"}},
        // The parser quotes what it saw; the message stays one printable line.
        {"[[material]]\nname = t\n", {"line 2, column", "saw 't\\x0A'"}},
        {"x = t\x1B", {"line 1, column", "saw 't\\x1B'"}},
    };
    // clang-format on
    for (const auto& [text, pieces] : cases) {
        std::vector<Material> materials = sentinel;
        expectMessage(decodeMaterialsToml(text, materials), pieces);
        expectIdentical(sentinel, materials);
    }
}

TEST(MaterialsTomlRead, TheTomlFormIsToldFromTheFirstText)
{
    for (const std::string& text :
         {std::string("[[material]]\nname = \"GaN\"\n"),
          std::string("# library\n\n  # more\r\n\t[[ material ]]\n"),
          std::string("\xEF\xBB\xBF[[material]]\n"), std::string("# none\nmaterial = []\n")})
        EXPECT_TRUE(looksLikeMaterialsToml(text)) << text;
    for (const std::string& text :
         {std::string(), std::string("# a\n# b"), std::string("[material]\n"), std::string("[[materials]]\n"),
          std::string("name = \"GaN\"\n"), std::string("AlGaN x=0.25 t=250 dx=5\n"), encodeMaterials({}),
          encodeMaterials({distinctMaterial("GaN", 1.0)})})
        EXPECT_FALSE(looksLikeMaterialsToml(text)) << ::testing::PrintToString(text);
}

TEST(MaterialsTomlFile, SaveAndLoadAreAllOrNothing)
{
    testing::ScratchFolder folder;
    const std::string path = folder.file("library.toml");
    std::vector<Material> materials{distinctMaterial("GaN", 1.0, Binary),
                                    distinctMaterial("AlGaN", 9.0, Ternary)};
    ASSERT_TRUE(saveMaterialsTomlFile(path, materials).ok);
    std::vector<Material> loaded = sentinel;
    ASSERT_TRUE(loadMaterialsTomlFile(path, loaded).ok);
    expectIdentical(materials, loaded);

    materials[0].Eg.a = notANumber;
    expectMessage(saveMaterialsTomlFile(path, materials), {"\"Eg\""});
    ASSERT_TRUE(loadMaterialsTomlFile(path, loaded).ok); // the previous file is still there
    EXPECT_EQ(loaded[0].Eg.a, 1.0);
}

// ----------------------------------------------------------------------------------------------------
// The bundled standard library

std::vector<Material> standardLibrary()
{
    std::vector<Material> materials;
    const IoResult result = loadMaterialsTomlFile(
        std::string(TERVANE_SOURCE_DIR) + "/examples/materials/standard.toml", materials);
    EXPECT_TRUE(result.ok) << result.message;
    return materials;
}

Material named(const std::vector<Material>& library, const std::string& name)
{
    const Material* found = findMaterial(library, name);
    EXPECT_NE(found, nullptr) << name;
    return found ? *found : Material();
}

TEST(StandardLibrary, CarriesTheCitedRows)
{
    const std::vector<Material> library = standardLibrary();
    EXPECT_EQ(named(library, "GaN").Eg, Quadratic(3.4376, 0.0, 0.0));
    EXPECT_EQ(named(library, "AlGaN").dEc, Quadratic(0.7976, 1.22051, 0.7));
    EXPECT_EQ(named(library, "InGaN").Eg, Quadratic(3.4376, -4.08146, 1.4));
    EXPECT_EQ(named(library, "AlGaAs").Eg, Quadratic(1.42248, 1.60121, -0.65013));
    EXPECT_EQ(named(library, "InGaAs").dEc, Quadratic(0.62248, -0.95569, 0.097));
    EXPECT_EQ(named(library, "GaN").polarization.Psp, Quadratic(-0.029, 0.0, 0.0));
    EXPECT_EQ(named(library, "AlN").polarization.e33, Quadratic(1.46, 0.0, 0.0));
    // AlAs is the X-valley (fundamental, indirect) row.
    EXPECT_EQ(named(library, "AlAs").Eg, Quadratic(2.1641, 0.0, 0.0));
    EXPECT_EQ(named(library, "AlAs").me, Quadratic(0.97, 0.0, 0.0));
    // Valence-band edges Ev = dEc - Eg from the cited offsets.
    const std::pair<const char*, double> valenceEdges[] = {{"GaN", -2.64},  {"AlN", -3.44},  {"InN", -2.14},
                                                           {"GaAs", -0.80}, {"AlAs", -1.33}, {"InAs", -0.59}};
    for (const auto& [name, Ev] : valenceEdges) {
        const MaterialValues v = named(library, name).valuesAt(0.0);
        EXPECT_NEAR(v.dEc - v.Eg, Ev, tolEnergy) << name;
    }
    // AlInN is lattice-matched to GaN (a = 3.189 Angstrom) near x = 0.82.
    EXPECT_NEAR(named(library, "AlInN").polarization.a.value(0.82), 3.189, 1e-3);
}

// Each alloy reduces to its binaries at x = 0 and x = 1, but for the laws (index in lawsOf) the cited
// rows do not tie: the arsenide alloys keep the deep donor level of AlAs and InAs; the AlGaAs gap fits
// only x <= 0.45 and its electron mass is the Gamma one, so at x = 1 neither meets the X-valley AlAs row.
TEST(StandardLibrary, AlloysReduceToTheirBinaries)
{
    constexpr std::size_t Eg = 0, dEc = 1, eps = 2, EdDeep = 6, me = 7;
    const struct {
        const char* alloy;
        double x;
        const char* binary;
        std::vector<std::size_t> exceptions;
    } ends[] = {{"AlGaN", 0.0, "GaN", {}},         {"AlGaN", 1.0, "AlN", {}},
                {"InGaN", 0.0, "GaN", {}},         {"InGaN", 1.0, "InN", {}},
                {"AlInN", 0.0, "InN", {}},         {"AlInN", 1.0, "AlN", {}},
                {"AlGaAs", 0.0, "GaAs", {EdDeep}}, {"AlGaAs", 1.0, "AlAs", {Eg, dEc, me}},
                {"InGaAs", 0.0, "GaAs", {EdDeep}}, {"InGaAs", 1.0, "InAs", {eps}}};
    const std::vector<Material> library = standardLibrary();
    for (const auto& end : ends) {
        Material alloy = named(library, end.alloy), binary = named(library, end.binary);
        const std::vector<Quadratic*> alloyLaws = lawsOf(alloy), binaryLaws = lawsOf(binary);
        for (std::size_t i = 0; i < alloyLaws.size(); ++i)
            if (std::find(end.exceptions.begin(), end.exceptions.end(), i) == end.exceptions.end()) {
                EXPECT_NEAR(alloyLaws[i]->value(end.x), binaryLaws[i]->value(0.0), tolEnergy)
                    << end.alloy << " at x = " << end.x << ", law " << i;
            }
    }
}

} // namespace
} // namespace tervane
