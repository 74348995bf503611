#include "io/materials_toml.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "io/materials_file.h"
#include "io_test_support.h"

namespace tervane {
namespace {

using testing::bitsOf;
using testing::bytes;

constexpr double tolEnergy = 1e-9; // eV; the library's numbers have at most five decimals
constexpr double tolLaw = 1e-9;    // for the other laws, in their own units

// The 52 doubles of a material, listed field by field here rather than through the reader's tables.
std::vector<double*> allNumbers(Material& m)
{
    std::vector<double*> numbers;
    for (Quadratic* law : {&m.Eg, &m.dEc, &m.eps, &m.EaShallow, &m.EdShallow, &m.EaDeep, &m.EdDeep, &m.me,
                           &m.mhh, &m.mlh, &m.polarization.a, &m.polarization.Psp, &m.polarization.c13,
                           &m.polarization.c33, &m.polarization.e31, &m.polarization.e33})
        for (double* coefficient : {&law->a, &law->b, &law->c})
            numbers.push_back(coefficient);
    for (double* density : {&m.NdBackground, &m.NaBackground, &m.NddBackground, &m.NdaBackground})
        numbers.push_back(density);
    return numbers;
}

std::vector<std::uint64_t> allBits(const Material& material)
{
    Material copy = material;
    std::vector<std::uint64_t> result;
    for (double* number : allNumbers(copy))
        result.push_back(bitsOf(*number));
    return result;
}

// Bit for bit, so -0.0 against 0.0 counts as a difference.
void expectIdentical(const std::vector<Material>& expected, const std::vector<Material>& actual)
{
    ASSERT_EQ(expected.size(), actual.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("material " + std::to_string(i + 1));
        EXPECT_EQ(expected[i].name, actual[i].name);
        EXPECT_EQ(expected[i].type, actual[i].type);
        EXPECT_EQ(allBits(expected[i]), allBits(actual[i]));
    }
}

// Every double different, so a key read into the wrong field shows.
Material distinctMaterial(const std::string& name, double base, int type)
{
    Material m;
    m.name = name;
    m.type = type;
    double next = base;
    for (double* number : allNumbers(m)) {
        *number = next;
        next += 0.125;
    }
    return m;
}

std::vector<Material> sentinelList()
{
    return {distinctMaterial("Sentinel", 500.0, Ternary), distinctMaterial("Other", -7.0, Binary)};
}

std::vector<Material> roundTrip(const std::vector<Material>& materials)
{
    std::string text;
    const IoResult written = encodeMaterialsToml(materials, text);
    EXPECT_TRUE(written.ok) << written.message;
    std::vector<Material> read;
    const IoResult parsed = decodeMaterialsToml(text, read);
    EXPECT_TRUE(parsed.ok) << parsed.message << "\n" << text;
    return read;
}

// The sixteen laws, the polarization laws last.
std::vector<const Quadratic*> lawsOf(const Material& m)
{
    return {&m.Eg,
            &m.dEc,
            &m.eps,
            &m.EaShallow,
            &m.EdShallow,
            &m.EaDeep,
            &m.EdDeep,
            &m.me,
            &m.mhh,
            &m.mlh,
            &m.polarization.a,
            &m.polarization.Psp,
            &m.polarization.c13,
            &m.polarization.c33,
            &m.polarization.e31,
            &m.polarization.e33};
}

std::string standardLibraryPath()
{
    return std::string(TERVANE_SOURCE_DIR) + "/examples/materials/standard.toml";
}

// ----------------------------------------------------------------------------------------------------
// Round trips

TEST(MaterialsTomlRoundTrip, KeepsEveryFieldAndTheOrder)
{
    const std::vector<Material> materials{distinctMaterial("GaN", 1.0, Binary),
                                          distinctMaterial("AlGaN", -3.0, Ternary),
                                          distinctMaterial("InN", 1e5, Binary)};
    expectIdentical(materials, roundTrip(materials));
}

TEST(MaterialsTomlRoundTrip, EmptyListStaysEmptyAndIsRecognised)
{
    std::string text;
    ASSERT_TRUE(encodeMaterialsToml({}, text).ok);
    EXPECT_TRUE(looksLikeMaterialsToml(text));
    std::vector<Material> materials = sentinelList();
    ASSERT_TRUE(decodeMaterialsToml(text, materials).ok);
    EXPECT_TRUE(materials.empty());
}

class MaterialsTomlNumber : public ::testing::TestWithParam<double> {};

TEST_P(MaterialsTomlNumber, ComesBackBitForBitInEveryField)
{
    Material material;
    material.name = "X";
    for (double* number : allNumbers(material))
        *number = GetParam();
    expectIdentical({material}, roundTrip({material}));
}

INSTANTIATE_TEST_SUITE_P(
    Awkward, MaterialsTomlNumber,
    ::testing::Values(0.0, -0.0, 3.0, -17.0, 0.1, 1.0 / 3.0, 0.30000000000000004, 1e-7, 1e16, 1e22, 1e23,
                      123456789012345680000.0, 9007199254740993.0, std::numeric_limits<double>::denorm_min(),
                      -std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::min(),
                      std::nextafter(std::numeric_limits<double>::min(), 0.0),
                      std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest(),
                      std::numeric_limits<double>::epsilon(), 1e300, -1e-300, 2.5e-310));

TEST(MaterialsTomlRoundTrip, RandomFiniteBitPatternsComeBackExactly)
{
    std::mt19937_64 random(20240611);
    std::vector<Material> materials;
    for (int i = 0; i < 40; ++i) {
        Material m;
        m.name = "M" + std::to_string(i);
        m.type = i % 2;
        for (double* number : allNumbers(m)) {
            double value;
            do
                value = std::bit_cast<double>(random());
            while (!std::isfinite(value));
            *number = value;
        }
        materials.push_back(m);
    }
    expectIdentical(materials, roundTrip(materials));
}

TEST(MaterialsTomlRoundTrip, WritesShortestNumbersThatStayFloats)
{
    Material gan;
    gan.name = "GaN";
    gan.Eg = Quadratic(3.4376, -0.0, 1e-7);
    gan.NdBackground = 1e17;
    std::string text;
    ASSERT_TRUE(encodeMaterialsToml({gan}, text).ok);
    EXPECT_NE(text.find("[3.4376, -0.0, 1e-07]"), std::string::npos) << text;
    EXPECT_NE(text.find("= 1e+17\n"), std::string::npos) << text;
    EXPECT_NE(text.find("= [0.0, 0.0, 0.0]"), std::string::npos) << text;
}

struct NameCase {
    const char* label;
    std::string name;
};

class MaterialsTomlName : public ::testing::TestWithParam<NameCase> {};

TEST_P(MaterialsTomlName, ComesBackByteForByte)
{
    Material material = distinctMaterial(GetParam().name, 2.0, Ternary);
    expectIdentical({material}, roundTrip({material}));
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, MaterialsTomlName,
    ::testing::Values(NameCase{"Plain", "GaN"}, NameCase{"TrailingBlank", "GaN "},
                      NameCase{"Quote", "Al\"Ga\"N"}, NameCase{"Backslash", "a\\b\\u0041"},
                      NameCase{"TripleQuotes", "\"\"\" and '''"},
                      NameCase{"ControlCharacters", "\t\n\r\b\f\x01\x1F\x7F"},
                      NameCase{"EmbeddedNul", std::string("Ga\0N", 4)},
                      NameCase{"LooksLikeToml", "[[material]]\n# x = 1"},
                      NameCase{"TwoByteUtf8", "Al\xC3\x85N \xC2\xB5m"}, NameCase{"NextLine", "a\xC2\x85z"},
                      NameCase{"ThreeByteUtf8", "Ga\xE2\x82\x82O\xE2\x82\x83 \xE2\x80\xA8"},
                      NameCase{"ByteOrderMarkInside", "x\xEF\xBB\xBFy"},
                      NameCase{"FourByteUtf8", "\xF0\x9F\x94\xAC \xF4\x8F\xBF\xBF"},
                      NameCase{"Long", std::string(70000, 'n')}),
    [](const ::testing::TestParamInfo<NameCase>& info) { return std::string(info.param.label); });

// ----------------------------------------------------------------------------------------------------
// What the writer refuses

struct WriteRefusalCase {
    const char* label;
    void (*spoil)(std::vector<Material>&);
    std::vector<std::string> expectedInMessage;
};

class MaterialsTomlWriteRefusal : public ::testing::TestWithParam<WriteRefusalCase> {};

TEST_P(MaterialsTomlWriteRefusal, NamesMaterialAndKeyAndWritesNothing)
{
    std::vector<Material> materials{distinctMaterial("GaN", 1.0, Binary),
                                    distinctMaterial("AlN", 2.0, Binary)};
    GetParam().spoil(materials);
    std::string out = "previous text";
    const IoResult result = encodeMaterialsToml(materials, out);
    EXPECT_FALSE(result.ok);
    for (const std::string& expected : GetParam().expectedInMessage)
        EXPECT_NE(result.message.find(expected), std::string::npos)
            << result.message << "\nlacks: " << expected;
    EXPECT_EQ(out, "previous text");
}

constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Writer, MaterialsTomlWriteRefusal,
    ::testing::Values(WriteRefusalCase{"InfInLaw",
                                       [](std::vector<Material>& m) { m[1].Eg.b = infinity; },
                                       {"material 2 \"AlN\"", "\"Eg\"", "inf"}},
                      WriteRefusalCase{"NanInPolarization",
                                       [](std::vector<Material>& m) { m[1].polarization.c33.c = notANumber; },
                                       {"material 2 \"AlN\"", "\"polarization.c33\"", "nan"}},
                      WriteRefusalCase{"MinusInfBackground",
                                       [](std::vector<Material>& m) { m[0].NdaBackground = -infinity; },
                                       {"material 1 \"GaN\"", "\"NdaBackground\"", "-inf"}},
                      WriteRefusalCase{"UnknownType",
                                       [](std::vector<Material>& m) { m[1].type = 2; },
                                       {"material 2 \"AlN\"", "\"type\"", "2"}},
                      WriteRefusalCase{"NegativeType",
                                       [](std::vector<Material>& m) { m[1].type = -1; },
                                       {"material 2 \"AlN\"", "\"type\"", "-1"}},
                      WriteRefusalCase{"EmptyName",
                                       [](std::vector<Material>& m) { m[1].name.clear(); },
                                       {"material 2", "\"name\"", "empty"}},
                      WriteRefusalCase{"DuplicateName",
                                       [](std::vector<Material>& m) { m[1].name = "GaN"; },
                                       {"material 2 \"GaN\"", "\"name\"", "material 1"}},
                      WriteRefusalCase{"StrayByte",
                                       [](std::vector<Material>& m) { m[1].name = "Ga\xFFN"; },
                                       {"material 2 \"Ga\\xFFN\"", "\"name\"", "UTF-8", "byte 3"}},
                      WriteRefusalCase{"OverlongNul",
                                       [](std::vector<Material>& m) { m[1].name = "a\xC0\x80"; },
                                       {"material 2", "\"name\"", "UTF-8", "byte 2"}},
                      WriteRefusalCase{"Surrogate",
                                       [](std::vector<Material>& m) { m[1].name = "\xED\xA0\x80"; },
                                       {"material 2", "\"name\"", "UTF-8", "byte 1"}},
                      WriteRefusalCase{"AboveUnicode",
                                       [](std::vector<Material>& m) { m[1].name = "\xF4\x90\x80\x80"; },
                                       {"material 2", "\"name\"", "UTF-8"}},
                      WriteRefusalCase{"CutSequence",
                                       [](std::vector<Material>& m) { m[1].name = "GaN\xE2\x82"; },
                                       {"material 2", "\"name\"", "UTF-8", "byte 4"}},
                      WriteRefusalCase{"LoneContinuation",
                                       [](std::vector<Material>& m) { m[1].name = "\x80"; },
                                       {"material 2", "\"name\"", "UTF-8"}}),
    [](const ::testing::TestParamInfo<WriteRefusalCase>& info) { return std::string(info.param.label); });

// ----------------------------------------------------------------------------------------------------
// Reading hand-written text

// Two complete materials; the malformed cases spoil the second.
const std::string validDocument = R"(# two materials
[[material]]
name = "GaN"
type = "Binary"
Eg = [3.4376, 0.0, 0.0]
dEc = [0.7976, 0.0, 0.0]
eps = [9.5, 0.0, 0.0]
EaShallow = [0.17, 0.0, 0.0]
EdShallow = [0.015, 0.0, 0.0]
EaDeep = [0.9, 0.0, 0.0]
EdDeep = [1.65, 0.0, 0.0]
me = [0.2, 0.0, 0.0]
mhh = [1.887, 0.0, 0.0]
mlh = [0.139, 0.0, 0.0]
NdBackground = 0.0
NaBackground = 0.0
NddBackground = 0.0
NdaBackground = 0.0
[material.polarization]
a = [3.189, 0.0, 0.0]
Psp = [-0.029, 0.0, 0.0]
c13 = [103.0, 0.0, 0.0]
c33 = [405.0, 0.0, 0.0]
e31 = [-0.49, 0.0, 0.0]
e33 = [0.73, 0.0, 0.0]

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

const std::string secondPolarizationTable = R"([material.polarization]
a = [3.189, -0.077, 0.0]
Psp = [-0.029, -0.052, 0.0]
c13 = [103, 5, 0]
c33 = [405.0, -32.0, 0.0]
e31 = [-0.49, -0.11, 0.0]
e33 = [0.73, 0.73, 0.0]
)";

// `text` with `from` replaced by `to` at its first occurrence from `start` on.
std::string replaced(const std::string& text, const std::string& from, const std::string& to,
                     std::size_t start = 0)
{
    const std::size_t at = text.find(from, start);
    EXPECT_NE(at, std::string::npos) << from;
    if (at == std::string::npos)
        return text;
    return text.substr(0, at) + to + text.substr(at + from.size());
}

// The valid document with `from` replaced by `to` within the second material.
std::string spoiled(const std::string& from, const std::string& to)
{
    const std::size_t second = validDocument.find("[[material]]", validDocument.find("[[material]]") + 1);
    return replaced(validDocument, from, to, second);
}

int lineOf(const std::string& text, std::size_t offset)
{
    int line = 1;
    for (std::size_t i = 0; i < offset; ++i)
        line += text[i] == '\n' ? 1 : 0;
    return line;
}

TEST(MaterialsTomlRead, HandWrittenLibraryGivesTheRecords)
{
    std::vector<Material> materials = sentinelList();
    const IoResult result = decodeMaterialsToml(validDocument, materials);
    ASSERT_TRUE(result.ok) << result.message;
    ASSERT_EQ(materials.size(), 2u);
    EXPECT_EQ(materials[0].name, "GaN");
    EXPECT_EQ(materials[0].type, Binary);
    EXPECT_EQ(materials[1].name, "AlGaN");
    EXPECT_EQ(materials[1].type, Ternary);
    // Integers in a law or a density are numbers: "eps = [9.5, -0.5, 0]", "c13 = [103, 5, 0]", "NaBackground
    // = 0".
    EXPECT_EQ(materials[1].eps, Quadratic(9.5, -0.5, 0.0));
    EXPECT_EQ(materials[1].polarization.c13, Quadratic(103.0, 5.0, 0.0));
    EXPECT_EQ(materials[1].NdBackground, 1e16);
    EXPECT_EQ(materials[1].NaBackground, 0.0);
    EXPECT_EQ(materials[1].NddBackground, 2.5e15);
    EXPECT_EQ(materials[1].polarization.e33, Quadratic(0.73, 0.73, 0.0));
    // Each key lands in its own field: the AlGaN values at x = 1 are AlN's.
    const MaterialValues aln = materials[1].valuesAt(1.0);
    EXPECT_NEAR(aln.Eg, 6.15811, tolEnergy);
    EXPECT_NEAR(aln.dEc, 2.71811, tolEnergy);
    EXPECT_NEAR(aln.epsr, 9.0, tolLaw);
    EXPECT_NEAR(aln.EaShallow, 0.51, tolEnergy);
    EXPECT_NEAR(aln.EdShallow, 0.25, tolEnergy);
    EXPECT_NEAR(aln.me, 0.32, tolLaw);
    EXPECT_NEAR(aln.mhh, 3.571, tolLaw);
    EXPECT_NEAR(aln.mlh, 0.259, tolLaw);
}

TEST(MaterialsTomlRead, SourceAndNotesAreOptionalAndNotKept)
{
    std::vector<Material> withText;
    ASSERT_TRUE(decodeMaterialsToml(validDocument, withText).ok);
    const std::string withoutText = replaced(spoiled("source = \"hand-written for the test\"\n", ""),
                                             "notes = \"\"\"\nx is the Al fraction.\"\"\"\n", "");
    std::vector<Material> plain;
    const IoResult result = decodeMaterialsToml(withoutText, plain);
    ASSERT_TRUE(result.ok) << result.message << "\n" << withoutText;
    expectIdentical(withText, plain);
}

TEST(MaterialsTomlRead, ExactIntegersOnlyAreTakenAsNumbers)
{
    std::vector<Material> materials;
    ASSERT_TRUE(decodeMaterialsToml(
                    spoiled("Eg = [3.4376, 2.02051, 0.7]", "Eg = [3, -9007199254740992, 0x10]"), materials)
                    .ok);
    EXPECT_EQ(materials[1].Eg, Quadratic(3.0, -9007199254740992.0, 16.0));
}

struct MalformedCase {
    const char* label;
    std::string from; // replaced within the second material
    std::string to;
    std::vector<std::string> expectedInMessage;
    std::string lineMarker; // when not empty, the message gives the line on which this text last appears
};

class MaterialsTomlMalformed : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MaterialsTomlMalformed, IsRefusedNamingMaterialAndKeyAndLeavesTheListAlone)
{
    const MalformedCase& param = GetParam();
    const std::string text = spoiled(param.from, param.to);
    std::vector<Material> materials = sentinelList();
    const IoResult result = decodeMaterialsToml(text, materials);
    EXPECT_FALSE(result.ok);
    for (const std::string& expected : param.expectedInMessage)
        EXPECT_NE(result.message.find(expected), std::string::npos)
            << result.message << "\nlacks: " << expected;
    if (!param.lineMarker.empty()) {
        const std::string line = "line " + std::to_string(lineOf(text, text.rfind(param.lineMarker))) + ",";
        EXPECT_NE(result.message.find(line), std::string::npos) << result.message << "\nlacks: " << line;
    }
    expectIdentical(sentinelList(), materials);
}

const std::string secondMaterial = "material 2 \"AlGaN\"";

INSTANTIATE_TEST_SUITE_P(
    Reader, MaterialsTomlMalformed,
    ::testing::Values(
        MalformedCase{
            "MissingLaw", "dEc = [0.7976, 1.22051, 0.7]\n", "", {secondMaterial, "\"dEc\"", "missing"}, ""},
        MalformedCase{"MissingName", "name = \"AlGaN\"\n", "", {"material 2,", "\"name\"", "missing"}, ""},
        MalformedCase{"MissingType", "type = \"Ternary\"\n", "", {secondMaterial, "\"type\"", "missing"}, ""},
        MalformedCase{"MissingBackground",
                      "NdaBackground = 0.0\n",
                      "",
                      {secondMaterial, "\"NdaBackground\"", "missing"},
                      ""},
        MalformedCase{"MissingPolarizationLaw",
                      "e33 = [0.73, 0.73, 0.0]\n",
                      "",
                      {secondMaterial, "\"polarization.e33\"", "missing"},
                      ""},
        MalformedCase{"MissingPolarizationTable",
                      secondPolarizationTable,
                      "",
                      {secondMaterial, "\"polarization\"", "missing"},
                      ""},
        MalformedCase{"StringLaw",
                      "Eg = [3.4376, 2.02051, 0.7]",
                      "Eg = \"3.4376 2.02051 0.7\"",
                      {secondMaterial, "\"Eg\"", "string"},
                      "Eg = \""},
        MalformedCase{"NumberLaw",
                      "mlh = [0.139, 0.12, 0.0]",
                      "mlh = 0.139",
                      {secondMaterial, "\"mlh\"", "three"},
                      "mlh = 0.139"},
        MalformedCase{"FourNumbers",
                      "dEc = [0.7976, 1.22051, 0.7]",
                      "dEc = [0.7976, 1.22051, 0.7, 0.0]",
                      {secondMaterial, "\"dEc\"", "has 4"},
                      "dEc = "},
        MalformedCase{"TwoNumbers",
                      "me = [0.2, 0.12, 0.0]",
                      "me = [0.2, 0.12]",
                      {secondMaterial, "\"me\"", "has 2"},
                      "me = "},
        MalformedCase{
            "EmptyLaw", "me = [0.2, 0.12, 0.0]", "me = []", {secondMaterial, "\"me\"", "has 0"}, "me = "},
        MalformedCase{"StringElement",
                      "eps = [9.5, -0.5, 0]",
                      "eps = [9.5, \"-0.5\", 0]",
                      {secondMaterial, "\"eps\"", "element 2", "string"},
                      "eps = "},
        MalformedCase{"BooleanElement",
                      "EaDeep = [0.9, 0.0, 0.0]",
                      "EaDeep = [0.9, 0.0, true]",
                      {secondMaterial, "\"EaDeep\"", "element 3", "boolean"},
                      "EaDeep = "},
        MalformedCase{"NestedArray",
                      "EaDeep = [0.9, 0.0, 0.0]",
                      "EaDeep = [[0.9], 0.0, 0.0]",
                      {secondMaterial, "\"EaDeep\"", "element 1", "array"},
                      "EaDeep = "},
        MalformedCase{"Infinity",
                      "me = [0.2, 0.12, 0.0]",
                      "me = [inf, 0.12, 0.0]",
                      {secondMaterial, "\"me\"", "inf"},
                      "me = "},
        MalformedCase{"NegativeInfinityInPolarization",
                      "c33 = [405.0, -32.0, 0.0]",
                      "c33 = [405.0, -inf, 0.0]",
                      {secondMaterial, "\"polarization.c33\"", "-inf"},
                      "c33 = "},
        MalformedCase{"NanBackground",
                      "NdBackground = 1e16",
                      "NdBackground = nan",
                      {secondMaterial, "\"NdBackground\"", "nan"},
                      "NdBackground = "},
        MalformedCase{"InexactInteger",
                      "mhh = [1.887, 1.684, 0.0]",
                      "mhh = [9007199254740993, 1.684, 0.0]",
                      {secondMaterial, "\"mhh\"", "9007199254740993"},
                      "mhh = "},
        MalformedCase{"StringBackground",
                      "NaBackground = 0",
                      "NaBackground = \"0\"",
                      {secondMaterial, "\"NaBackground\"", "string"},
                      "NaBackground = "},
        MalformedCase{"DuplicateName",
                      "name = \"AlGaN\"",
                      "name = \"GaN\"",
                      {"material 2 \"GaN\"", "\"name\"", "material 1"},
                      "name = \"GaN\""},
        MalformedCase{"EmptyName",
                      "name = \"AlGaN\"",
                      "name = \"\"",
                      {"material 2", "\"name\"", "empty"},
                      "name = \"\""},
        MalformedCase{
            "NumberName", "name = \"AlGaN\"", "name = 7", {"material 2,", "\"name\"", "integer"}, "name = 7"},
        MalformedCase{"UnknownKey",
                      "Eg = [3.4376, 2.02051, 0.7]",
                      "Egg = [3.4376, 2.02051, 0.7]",
                      {secondMaterial, "\"Egg\"", "unknown"},
                      "Egg"},
        MalformedCase{"UnknownPolarizationKey",
                      "e33 = [0.73, 0.73, 0.0]",
                      "e15 = [0.73, 0.73, 0.0]",
                      {secondMaterial, "\"polarization.e15\"", "unknown"},
                      "e15"},
        MalformedCase{"Quaternary",
                      "type = \"Ternary\"",
                      "type = \"Quaternary\"",
                      {secondMaterial, "\"type\"", "Quaternary"},
                      "type = "},
        MalformedCase{"LowerCaseType",
                      "type = \"Ternary\"",
                      "type = \"ternary\"",
                      {secondMaterial, "\"type\"", "ternary"},
                      "type = "},
        MalformedCase{"NumericType",
                      "type = \"Ternary\"",
                      "type = 1",
                      {secondMaterial, "\"type\"", "integer"},
                      "type = "},
        MalformedCase{"NumericSource",
                      "source = \"hand-written for the test\"",
                      "source = 2024",
                      {secondMaterial, "\"source\"", "integer"},
                      "source = "},
        MalformedCase{"PolarizationNotATable",
                      secondPolarizationTable,
                      "polarization = [1, 2, 3]\n",
                      {secondMaterial, "\"polarization\"", "array"},
                      "polarization = "}),
    [](const ::testing::TestParamInfo<MalformedCase>& info) { return std::string(info.param.label); });

struct BrokenDocumentCase {
    const char* label;
    std::string text;
    std::vector<std::string> expectedInMessage;
};

class MaterialsTomlBrokenDocument : public ::testing::TestWithParam<BrokenDocumentCase> {};

TEST_P(MaterialsTomlBrokenDocument, IsRefusedWithWhereAndLeavesTheListAlone)
{
    std::vector<Material> materials = sentinelList();
    const IoResult result = decodeMaterialsToml(GetParam().text, materials);
    EXPECT_FALSE(result.ok);
    for (const std::string& expected : GetParam().expectedInMessage)
        EXPECT_NE(result.message.find(expected), std::string::npos)
            << result.message << "\nlacks: " << expected;
    expectIdentical(sentinelList(), materials);
}

INSTANTIATE_TEST_SUITE_P(
    Reader, MaterialsTomlBrokenDocument,
    ::testing::Values(
        BrokenDocumentCase{"UnclosedString",
                           "# x\n[[material]]\nname = \"GaN\ntype = \"Binary\"\n",
                           {"not valid TOML", "line 3, column"}},
        BrokenDocumentCase{
            "UnclosedHeader", "\n\n\n[[material]\nname = \"GaN\"\n", {"not valid TOML", "line 4, column"}},
        BrokenDocumentCase{
            "UnclosedArray", "[[material]]\nname = \"GaN\"\nEg = [1, 2\n", {"not valid TOML", "line 3"}},
        BrokenDocumentCase{"ArrayRunsIntoNextKey",
                           "[[material]]\nname = \"GaN\"\nEg = [1, 2\nme = [1, 2, 3]\n",
                           {"not valid TOML", "line 4, column"}},
        BrokenDocumentCase{"KeyTwice",
                           "[[material]]\nname = \"GaN\"\nEg = [1, 2, 3]\nEg = [1, 2, 3]\n",
                           {"not valid TOML", "line 4, column"}},
        BrokenDocumentCase{
            "InvalidUtf8", "[[material]]\nname = \"Ga\xFFN\"\n", {"not valid TOML", "line 2, column"}},
        BrokenDocumentCase{"IntegerOverflow",
                           "[[material]]\nEg = [99999999999999999999, 0, 0]\n",
                           {"not valid TOML", "line 2, column"}},
        BrokenDocumentCase{
            "UnknownTopLevelKey", "version = 1\n[[material]]\n", {"\"version\"", "unknown", "line 1"}},
        BrokenDocumentCase{"MaterialNotAnArray", "material = 3\n", {"\"material\"", "integer", "line 1"}},
        BrokenDocumentCase{"MaterialNotATable", "material = [1]\n", {"material 1", "integer"}},
        BrokenDocumentCase{
            "SingleTableInsteadOfArray", "[material]\nname = \"GaN\"\n", {"\"material\"", "table"}}),
    [](const ::testing::TestParamInfo<BrokenDocumentCase>& info) { return std::string(info.param.label); });

// Every cut of a valid document either reads or is refused, never crashes or half-loads.
TEST(MaterialsTomlRead, TruncatedAndMangledDocumentsAreRefusedCleanly)
{
    for (std::size_t length = 0; length < validDocument.size(); ++length) {
        std::vector<Material> materials = sentinelList();
        const IoResult result = decodeMaterialsToml(validDocument.substr(0, length), materials);
        if (!result.ok) {
            ASSERT_FALSE(result.message.empty());
            expectIdentical(sentinelList(), materials);
        }
    }
    std::mt19937 random(7);
    for (int round = 0; round < 3000; ++round) {
        std::string text = validDocument;
        for (int flips = 0; flips < 3; ++flips)
            text[random() % text.size()] = static_cast<char>(random() % 256);
        std::vector<Material> materials = sentinelList();
        const IoResult result = decodeMaterialsToml(text, materials);
        if (!result.ok)
            expectIdentical(sentinelList(), materials);
    }
}

// ----------------------------------------------------------------------------------------------------
// Telling the TOML form from the binary one

struct SniffCase {
    const char* label;
    std::string bytes;
    bool isToml;
};

class MaterialsTomlSniff : public ::testing::TestWithParam<SniffCase> {};

TEST_P(MaterialsTomlSniff, DecidesByTheFirstText)
{
    EXPECT_EQ(looksLikeMaterialsToml(GetParam().bytes), GetParam().isToml);
}

std::string binaryFileOf(const std::string& name)
{
    Material material;
    material.name = name;
    return encodeMaterials({material});
}

INSTANTIATE_TEST_SUITE_P(
    Content, MaterialsTomlSniff,
    ::testing::Values(
        SniffCase{"ArrayHeader", "[[material]]\nname = \"GaN\"\n", true},
        SniffCase{"AfterCommentsAndBlanks", "# library\n\n  # more\r\n\t[[ material ]]\n", true},
        SniffCase{"AfterByteOrderMark", "\xEF\xBB\xBF[[material]]\n", true},
        SniffCase{"EmptyList", "# nothing yet\nmaterial = []\n", true}, SniffCase{"Empty", "", false},
        SniffCase{"OnlyComments", "# a\n# b", false}, SniffCase{"SingleTable", "[material]\n", false},
        SniffCase{"PluralArray", "[[materials]]\n", false}, SniffCase{"PluralKey", "materials = []\n", false},
        SniffCase{"OtherKey", "name = \"GaN\"\n", false},
        SniffCase{"ImportScript", "AlGaN x=0.25 t=250 dx=5\n", false},
        SniffCase{"BinaryEmptyList", bytes({0, 0, 0, 0}), false},
        SniffCase{"BinaryOneMaterial", binaryFileOf("GaN"), false}),
    [](const ::testing::TestParamInfo<SniffCase>& info) { return std::string(info.param.label); });

TEST(MaterialsTomlRoundTrip, WrittenTextIsRecognisedAsToml)
{
    std::string text;
    ASSERT_TRUE(encodeMaterialsToml({distinctMaterial("GaN", 1.0, Binary)}, text).ok);
    EXPECT_TRUE(looksLikeMaterialsToml(text));
}

// ----------------------------------------------------------------------------------------------------
// Files

TEST(MaterialsTomlFile, SavedAndLoadedAgainIsTheSameList)
{
    testing::ScratchFolder folder;
    const std::string path = folder.file("library.toml");
    const std::vector<Material> materials{distinctMaterial("GaN", 1.0, Binary),
                                          distinctMaterial("AlGaN", 9.0, Ternary)};
    ASSERT_TRUE(saveMaterialsTomlFile(path, materials).ok);
    std::vector<Material> loaded = sentinelList();
    const IoResult result = loadMaterialsTomlFile(path, loaded);
    ASSERT_TRUE(result.ok) << result.message;
    expectIdentical(materials, loaded);
}

TEST(MaterialsTomlFile, RefusedSaveKeepsThePreviousFile)
{
    testing::ScratchFolder folder;
    const std::string path = folder.file("library.toml");
    testing::writeFileBytes(path, "previous");
    std::vector<Material> materials{distinctMaterial("GaN", 1.0, Binary)};
    materials[0].Eg.a = notANumber;
    const IoResult result = saveMaterialsTomlFile(path, materials);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("\"Eg\""), std::string::npos) << result.message;
    EXPECT_EQ(testing::readFileBytes(path), "previous");
}

TEST(MaterialsTomlFile, MissingFileLeavesTheListAlone)
{
    testing::ScratchFolder folder;
    std::vector<Material> materials = sentinelList();
    const IoResult result = loadMaterialsTomlFile(folder.file("absent.toml"), materials);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, textCouldNotOpenFile);
    expectIdentical(sentinelList(), materials);
}

// ----------------------------------------------------------------------------------------------------
// The bundled standard library

class StandardLibraryTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        const IoResult result = loadMaterialsTomlFile(standardLibraryPath(), materials);
        ASSERT_TRUE(result.ok) << result.message;
    }

    const Material& material(const std::string& name) const
    {
        const Material* found = findMaterial(materials, name);
        EXPECT_NE(found, nullptr) << name;
        return found ? *found : empty;
    }

    std::vector<Material> materials;
    Material empty;
};

TEST_F(StandardLibraryTest, HoldsTheElevenMaterialsInOrder)
{
    std::vector<std::string> names;
    std::vector<int> types;
    for (const Material& m : materials) {
        names.push_back(m.name);
        types.push_back(m.type);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"GaN", "AlN", "InN", "AlGaN", "InGaN", "AlInN", "GaAs", "AlAs",
                                               "InAs", "AlGaAs", "InGaAs"}));
    EXPECT_EQ(types, (std::vector<int>{Binary, Binary, Binary, Ternary, Ternary, Ternary, Binary, Binary,
                                       Binary, Ternary, Ternary}));
    EXPECT_TRUE(looksLikeMaterialsToml(testing::readFileBytes(standardLibraryPath())));
}

TEST_F(StandardLibraryTest, CarriesTheCitedRows)
{
    EXPECT_EQ(material("GaN").Eg, Quadratic(3.4376, 0.0, 0.0));
    EXPECT_EQ(material("AlGaN").dEc, Quadratic(0.7976, 1.22051, 0.7));
    EXPECT_EQ(material("InGaN").Eg, Quadratic(3.4376, -4.08146, 1.4));
    EXPECT_EQ(material("AlGaAs").Eg, Quadratic(1.42248, 1.60121, -0.65013));
    EXPECT_EQ(material("InGaAs").dEc, Quadratic(0.62248, -0.95569, 0.097));
    EXPECT_EQ(material("GaN").polarization.Psp, Quadratic(-0.029, 0.0, 0.0));
    EXPECT_EQ(material("AlN").polarization.e33, Quadratic(1.46, 0.0, 0.0));
    // AlAs is the X-valley (fundamental, indirect) row.
    EXPECT_EQ(material("AlAs").Eg, Quadratic(2.1641, 0.0, 0.0));
    EXPECT_EQ(material("AlAs").dEc, Quadratic(0.8341, 0.0, 0.0));
    EXPECT_EQ(material("AlAs").me, Quadratic(0.97, 0.0, 0.0));
    EXPECT_EQ(material("AlAs").mhh, Quadratic(0.4717, 0.0, 0.0));
    for (const Material& m : materials) {
        SCOPED_TRACE(m.name);
        EXPECT_EQ(m.NdBackground, 0.0);
        EXPECT_EQ(m.NaBackground, 0.0);
        EXPECT_EQ(m.NddBackground, 0.0);
        EXPECT_EQ(m.NdaBackground, 0.0);
        if (m.type != Binary)
            continue;
        for (const Quadratic* law : lawsOf(m)) {
            EXPECT_EQ(law->b, 0.0) << law->toText();
            EXPECT_EQ(law->c, 0.0) << law->toText();
        }
    }
}

// Valence-band edges Ev = dEc - Eg from the cited offsets: -2.64, -3.44, -2.14 eV for the nitrides,
// -0.80, -1.33, -0.59 eV for the arsenides.
TEST_F(StandardLibraryTest, ValenceBandEdgesMatchTheCitedOffsets)
{
    const std::vector<std::pair<std::string, double>> expected{
        {"GaN", -2.64}, {"AlN", -3.44}, {"InN", -2.14}, {"GaAs", -0.80}, {"AlAs", -1.33}, {"InAs", -0.59}};
    for (const auto& [name, Ev] : expected) {
        const MaterialValues v = material(name).valuesAt(0.0);
        EXPECT_NEAR(v.dEc - v.Eg, Ev, tolEnergy) << name;
    }
}

// Every value of a material's laws at x, the polarization laws included.
std::vector<double> lawValuesAt(const Material& m, double x)
{
    std::vector<double> values;
    for (const Quadratic* law : lawsOf(m))
        values.push_back(law->value(x));
    return values;
}

constexpr std::size_t epsIndex = 2;
constexpr std::size_t EgIndex = 0;
constexpr std::size_t dEcIndex = 1;
constexpr std::size_t EdDeepIndex = 6;
constexpr std::size_t meIndex = 7;

struct EndpointCase {
    const char* alloy;
    double x;
    const char* binary;
    std::vector<std::size_t> exceptions; // laws whose end point the cited rows do not tie to the binary
};

class StandardLibraryEndpoint : public StandardLibraryTest,
                                public ::testing::WithParamInterface<EndpointCase> {};

TEST_P(StandardLibraryEndpoint, AlloyReducesToItsBinary)
{
    const EndpointCase& param = GetParam();
    const std::vector<double> alloy = lawValuesAt(material(param.alloy), param.x);
    const std::vector<double> binary = lawValuesAt(material(param.binary), 0.0);
    ASSERT_EQ(alloy.size(), binary.size());
    for (std::size_t i = 0; i < alloy.size(); ++i) {
        if (std::find(param.exceptions.begin(), param.exceptions.end(), i) != param.exceptions.end())
            continue;
        EXPECT_NEAR(alloy[i], binary[i], tolLaw) << "law " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Standard, StandardLibraryEndpoint,
    ::testing::Values(EndpointCase{"AlGaN", 0.0, "GaN", {}}, EndpointCase{"AlGaN", 1.0, "AlN", {}},
                      EndpointCase{"InGaN", 0.0, "GaN", {}}, EndpointCase{"InGaN", 1.0, "InN", {}},
                      EndpointCase{"AlInN", 0.0, "InN", {}}, EndpointCase{"AlInN", 1.0, "AlN", {}},
                      // AlGaAs keeps the deep donor level of AlAs; its gap fits only x <= 0.45 and its
                      // electron mass is the Gamma one, so at x = 1 neither meets the X-valley AlAs row.
                      EndpointCase{"AlGaAs", 0.0, "GaAs", {EdDeepIndex}},
                      EndpointCase{"AlGaAs", 1.0, "AlAs", {EgIndex, dEcIndex, meIndex}},
                      EndpointCase{"InGaAs", 0.0, "GaAs", {EdDeepIndex}},
                      EndpointCase{"InGaAs", 1.0, "InAs", {epsIndex}}),
    [](const ::testing::TestParamInfo<EndpointCase>& info) {
        return std::string(info.param.alloy) + "At" + (info.param.x == 0.0 ? "0" : "1");
    });

TEST_F(StandardLibraryTest, AlInNIsLatticeMatchedToGaNNearX082)
{
    EXPECT_NEAR(material("AlInN").polarization.a.value(0.82), material("GaN").polarization.a.value(0.0),
                1e-3);
}

TEST_F(StandardLibraryTest, SurvivesBothFileFormsUnchanged)
{
    expectIdentical(materials, roundTrip(materials));
    std::vector<Material> fromBinary;
    ASSERT_TRUE(decodeMaterials(encodeMaterials(materials), fromBinary).ok);
    expectIdentical(materials, roundTrip(fromBinary));
}

} // namespace
} // namespace tervane
