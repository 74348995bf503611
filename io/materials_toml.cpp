#include "io/materials_toml.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <new>
#include <optional>
#include <stdexcept>
#include <system_error>
#include <unordered_map>
#include <utility>

#include <toml++/toml.h>

#include "io/file_util.h"
#include "io/toml_values.h"

namespace tervane {

namespace {

struct LawKey {
    const char* key;
    Quadratic Material::*law;
};

struct PolarizationLawKey {
    const char* key;
    Quadratic Polarization::*law;
};

struct BackgroundKey {
    const char* key;
    double Material::*density;
};

// The order in which the writer puts the keys; the reader takes them in any order.
constexpr std::array<LawKey, 10> lawKeys{{
    {"Eg", &Material::Eg},
    {"dEc", &Material::dEc},
    {"eps", &Material::eps},
    {"EaShallow", &Material::EaShallow},
    {"EdShallow", &Material::EdShallow},
    {"EaDeep", &Material::EaDeep},
    {"EdDeep", &Material::EdDeep},
    {"me", &Material::me},
    {"mhh", &Material::mhh},
    {"mlh", &Material::mlh},
}};

constexpr std::array<PolarizationLawKey, 6> polarizationKeys{{
    {"a", &Polarization::a},
    {"Psp", &Polarization::Psp},
    {"c13", &Polarization::c13},
    {"c33", &Polarization::c33},
    {"e31", &Polarization::e31},
    {"e33", &Polarization::e33},
}};

constexpr std::array<BackgroundKey, 4> backgroundKeys{{
    {"NdBackground", &Material::NdBackground},
    {"NaBackground", &Material::NaBackground},
    {"NddBackground", &Material::NddBackground},
    {"NdaBackground", &Material::NdaBackground},
}};

constexpr std::array<std::string_view, 2> typeNames{"Binary", "Ternary"}; // indexed by Material::type

constexpr std::string_view materialKeyList =
    "name, type, source, notes, Eg, dEc, eps, EaShallow, EdShallow, EaDeep, EdDeep, me, mhh, mlh, "
    "NdBackground, NaBackground, NddBackground, NdaBackground, polarization";
constexpr std::string_view polarizationKeyList = "a, Psp, c13, c33, e31, e33";

// Width of the longest key, so the writer can line the values up.
constexpr std::size_t keyWidth = 13;

// ---------------------------------------------------------------------------------------------------
// Text helpers

void appendHexByte(std::string& out, const char* prefix, unsigned value, int digits)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    out += prefix;
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        out += hex[(value >> shift) & 0xFu];
}

// A name as a message shows it: in double quotes, escaped by printableText with its quotes.
std::string quotedForMessage(std::string_view text)
{
    return '"' + printableText(text, true) + '"';
}

// A TOML basic string holding exactly the bytes of `text`, which must be valid UTF-8.
std::string tomlString(std::string_view text)
{
    std::string out = "\"";
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        switch (byte) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            if (byte < 0x20 || byte == 0x7F)
                appendHexByte(out, "\\u", byte, 4);
            else
                out += ch; // bytes of multi-byte characters pass through unchanged
        }
    }
    out += '"';
    return out;
}

// The shortest decimal that reads back to the same double, always in a form TOML takes as a float:
// "3" would read back as an integer and "-0" as the integer zero, losing the sign.
void appendNumber(std::string& out, double value)
{
    char buffer[64];
    const std::to_chars_result written = std::to_chars(buffer, buffer + sizeof buffer, value);
    const std::string_view text(buffer, static_cast<std::size_t>(written.ptr - buffer));
    out += text;
    if (text.find_first_of(".e") == std::string_view::npos)
        out += ".0";
}

void appendLaw(std::string& out, const Quadratic& law)
{
    out += '[';
    appendNumber(out, law.a);
    out += ", ";
    appendNumber(out, law.b);
    out += ", ";
    appendNumber(out, law.c);
    out += ']';
}

void appendKey(std::string& out, std::string_view key, std::size_t width)
{
    out += key;
    if (key.size() < width)
        out.append(width - key.size(), ' ');
    out += " = ";
}

std::string nonFiniteText(double value)
{
    if (std::isnan(value))
        return "nan";
    return value > 0 ? "inf" : "-inf";
}

// ---------------------------------------------------------------------------------------------------
// Reading

// Why a library was refused; thrown inside the reader only, caught by decodeMaterialsToml.
class Refusal : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Names the material being read in every message: its index from 1 and, once read, its name.
class MaterialReader {
  public:
    explicit MaterialReader(std::size_t index) : index_(index) {}

    void setName(std::string name) { name_ = std::move(name); }

    std::string subject() const
    {
        std::string text = "material " + std::to_string(index_);
        if (name_)
            text += " " + quotedForMessage(*name_);
        return text;
    }

    [[noreturn]] void refuse(std::string_view key, const std::string& problem,
                             const toml::source_region& where) const
    {
        throw Refusal(subject() + ", key " + quotedForMessage(key) + ": " + problem + tomlPlace(where));
    }

    const toml::node& require(const toml::table& table, std::string_view key, std::string_view shownKey) const
    {
        const toml::node* node = table.get(key);
        if (!node) {
            std::string where;
            if (table.source().begin.line != 0)
                where =
                    " (in the table that begins on line " + std::to_string(table.source().begin.line) + ")";
            throw Refusal(subject() + ", key " + quotedForMessage(shownKey) +
                          ": missing; every key but source and notes is required" + where);
        }
        return *node;
    }

    double number(const toml::node& node, std::string_view key, const std::string& what) const
    {
        if (const toml::value<double>* floating = node.as_floating_point()) {
            const double value = floating->get();
            if (!std::isfinite(value))
                refuse(key, what + " is " + nonFiniteText(value) + "; only finite numbers are allowed",
                       node.source());
            return value;
        }
        if (const toml::value<std::int64_t>* integer = node.as_integer()) {
            const std::int64_t value = integer->get();
            const double converted = static_cast<double>(value);
            // 2^63 itself is out of range for the way back, and no int64 converts to anything larger.
            if (converted >= 0x1p63 || static_cast<std::int64_t>(converted) != value)
                refuse(key,
                       what + " is the integer " + std::to_string(value) +
                           ", which has no exact double; write it as a decimal number",
                       node.source());
            return converted;
        }
        refuse(key, what + " must be a number, not " + tomlTypeName(node.type()), node.source());
    }

    Quadratic law(const toml::node& node, std::string_view key) const
    {
        const toml::array* array = node.as_array();
        if (!array)
            refuse(key, "a law is an array of three numbers [a, b, c], not " + tomlTypeName(node.type()),
                   node.source());
        if (array->size() != 3)
            refuse(key,
                   "a law is an array of exactly three numbers [a, b, c]; this one has " +
                       std::to_string(array->size()),
                   node.source());
        const double a = number(*array->get(0), key, "element 1 (a)");
        const double b = number(*array->get(1), key, "element 2 (b)");
        const double c = number(*array->get(2), key, "element 3 (c)");
        return Quadratic(a, b, c);
    }

    const std::string& string(const toml::node& node, std::string_view key) const
    {
        const toml::value<std::string>* text = node.as_string();
        if (!text)
            refuse(key, "must be a string, not " + tomlTypeName(node.type()), node.source());
        return text->get();
    }

  private:
    std::size_t index_;
    std::optional<std::string> name_;
};

bool isMaterialKey(std::string_view key)
{
    if (key == "name" || key == "type" || key == "source" || key == "notes" || key == "polarization")
        return true;
    for (const LawKey& law : lawKeys)
        if (key == law.key)
            return true;
    for (const BackgroundKey& background : backgroundKeys)
        if (key == background.key)
            return true;
    return false;
}

bool isPolarizationKey(std::string_view key)
{
    for (const PolarizationLawKey& law : polarizationKeys)
        if (key == law.key)
            return true;
    return false;
}

// Index from 1 of the first material with each name so far.
using NameIndex = std::unordered_map<std::string, std::size_t>;

Material readMaterial(const toml::node& node, std::size_t index, NameIndex& names)
{
    MaterialReader reader(index);
    const toml::table* table = node.as_table();
    if (!table)
        throw Refusal(reader.subject() + ": must be a [[material]] table, not " + tomlTypeName(node.type()) +
                      tomlPlace(node.source()));

    // The name first, so every later message can show it.
    Material material;
    material.name = reader.string(reader.require(*table, "name", "name"), "name");
    if (material.name.empty())
        reader.refuse("name", "is empty; every material needs a name", table->get("name")->source());
    reader.setName(material.name);
    if (const auto [first, isNew] = names.try_emplace(material.name, index); !isNew)
        reader.refuse("name",
                      "material " + std::to_string(first->second) +
                          " already has this name; names must be unique",
                      table->get("name")->source());

    for (auto&& [key, value] : *table)
        if (!isMaterialKey(key.str()))
            reader.refuse(key.str(), "unknown key; a material has the keys " + std::string(materialKeyList),
                          key.source());

    const toml::node& typeNode = reader.require(*table, "type", "type");
    const std::string& type = reader.string(typeNode, "type");
    if (type == typeNames[Binary])
        material.type = Binary;
    else if (type == typeNames[Ternary])
        material.type = Ternary;
    else
        reader.refuse("type",
                      quotedForMessage(type) + " is not a material type; use \"Binary\" or \"Ternary\"",
                      typeNode.source());

    for (const char* key : {"source", "notes"})
        if (const toml::node* text = table->get(key))
            reader.string(*text, key);

    for (const LawKey& law : lawKeys)
        material.*law.law = reader.law(reader.require(*table, law.key, law.key), law.key);
    for (const BackgroundKey& background : backgroundKeys)
        material.*background.density = reader.number(reader.require(*table, background.key, background.key),
                                                     background.key, "the density");

    const toml::node& polarizationNode = reader.require(*table, "polarization", "polarization");
    const toml::table* polarization = polarizationNode.as_table();
    if (!polarization)
        reader.refuse("polarization",
                      "must be a table [material.polarization], not " + tomlTypeName(polarizationNode.type()),
                      polarizationNode.source());
    for (auto&& [key, value] : *polarization)
        if (!isPolarizationKey(key.str()))
            reader.refuse("polarization." + std::string(key.str()),
                          "unknown key; the polarization table has the keys " +
                              std::string(polarizationKeyList),
                          key.source());
    for (const PolarizationLawKey& law : polarizationKeys) {
        const std::string shownKey = std::string("polarization.") + law.key;
        material.polarization.*law.law =
            reader.law(reader.require(*polarization, law.key, shownKey), shownKey);
    }
    return material;
}

std::vector<Material> readLibrary(std::string_view text)
{
    toml::table root;
    try {
        root = toml::parse(text);
    } catch (const toml::parse_error& error) {
        const toml::source_position& at = error.source().begin;
        throw Refusal("The materials library is not valid TOML: line " + std::to_string(at.line) +
                      ", column " + std::to_string(at.column) + ": " +
                      printableText(error.description(), false));
    }
    for (auto&& [key, value] : root)
        if (key.str() != "material")
            throw Refusal("Key " + quotedForMessage(key.str()) +
                          ": unknown key; a materials library holds only [[material]] tables" +
                          tomlPlace(key.source()));

    std::vector<Material> materials;
    const toml::node* list = root.get("material");
    if (!list)
        return materials; // an empty document is an empty library
    const toml::array* array = list->as_array();
    if (!array)
        throw Refusal("Key \"material\": must be an array of [[material]] tables, not " +
                      tomlTypeName(list->type()) + tomlPlace(list->source()));
    materials.reserve(array->size());
    NameIndex names;
    for (std::size_t i = 0; i < array->size(); ++i)
        materials.push_back(readMaterial(*array->get(i), i + 1, names));
    return materials;
}

// ---------------------------------------------------------------------------------------------------
// Writing

// What the writer refuses: anything the reader would refuse or could not give back bit for bit.
std::string checkWritable(const Material& material, std::size_t i, NameIndex& names)
{
    const std::string subject = "material " + std::to_string(i + 1) + " " + quotedForMessage(material.name);
    const auto keyProblem = [&subject](std::string_view key, const std::string& problem) {
        return subject + ", key " + quotedForMessage(key) + ": " + problem;
    };

    if (material.name.empty())
        return keyProblem("name", "is empty; a material needs a name to be written as TOML");
    if (const std::size_t bad = firstInvalidUtf8(material.name); bad != std::string_view::npos)
        return keyProblem("name", "byte " + std::to_string(bad + 1) +
                                      " is not valid UTF-8, which TOML text must be; rename the material");
    if (const auto [first, isNew] = names.try_emplace(material.name, i + 1); !isNew)
        return keyProblem("name", "material " + std::to_string(first->second) +
                                      " already has this name; a TOML library needs unique names");
    if (material.type != Binary && material.type != Ternary)
        return keyProblem("type", std::to_string(material.type) + " is neither Binary (0) nor Ternary (1)");

    const auto lawProblem = [&keyProblem](std::string_view key, const Quadratic& law) -> std::string {
        const std::array<std::pair<const char*, double>, 3> coefficients{
            {{"a", law.a}, {"b", law.b}, {"c", law.c}}};
        for (const auto& [coefficient, value] : coefficients)
            if (!std::isfinite(value))
                return keyProblem(key, std::string("coefficient ") + coefficient + " is " +
                                           nonFiniteText(value) + ", which TOML cannot hold as a number");
        return {};
    };
    for (const LawKey& law : lawKeys)
        if (std::string problem = lawProblem(law.key, material.*law.law); !problem.empty())
            return problem;
    for (const BackgroundKey& background : backgroundKeys)
        if (const double value = material.*background.density; !std::isfinite(value))
            return keyProblem(background.key, "the density is " + nonFiniteText(value) +
                                                  ", which TOML cannot hold as a number");
    for (const PolarizationLawKey& law : polarizationKeys)
        if (std::string problem =
                lawProblem(std::string("polarization.") + law.key, material.polarization.*law.law);
            !problem.empty())
            return problem;
    return {};
}

constexpr std::string_view fileHeader =
    "# Tervane materials library: one [[material]] table per material, in list order.\n"
    "# A law is [a, b, c], the value a + b*x + c*x^2 at composition x.\n"
    "# Units: eV (gaps, offsets, dopant levels), relative permittivity, free-electron masses,\n"
    "# Angstrom (a), C/m^2 (Psp, e31, e33), c13 and c33 in one common unit, cm^-3 (backgrounds).\n";

void appendMaterial(std::string& out, const Material& material)
{
    out += "\n[[material]]\n";
    appendKey(out, "name", keyWidth);
    out += tomlString(material.name);
    out += '\n';
    appendKey(out, "type", keyWidth);
    out += tomlString(typeNames[static_cast<std::size_t>(material.type)]);
    out += '\n';
    for (const LawKey& law : lawKeys) {
        appendKey(out, law.key, keyWidth);
        appendLaw(out, material.*law.law);
        out += '\n';
    }
    for (const BackgroundKey& background : backgroundKeys) {
        appendKey(out, background.key, keyWidth);
        appendNumber(out, material.*background.density);
        out += '\n';
    }
    out += "\n[material.polarization]\n";
    for (const PolarizationLawKey& law : polarizationKeys) {
        appendKey(out, law.key, 3);
        appendLaw(out, material.polarization.*law.law);
        out += '\n';
    }
}

} // namespace

bool looksLikeMaterialsToml(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    for (;;) {
        const std::size_t start = bytes.find_first_not_of(" \t\r\n");
        if (start == std::string_view::npos)
            return false;
        bytes.remove_prefix(start);
        if (bytes.front() != '#')
            break;
        const std::size_t lineEnd = bytes.find('\n');
        if (lineEnd == std::string_view::npos)
            return false;
        bytes.remove_prefix(lineEnd);
    }
    const auto consume = [&bytes](std::string_view word) {
        if (bytes.substr(0, word.size()) != word)
            return false;
        bytes.remove_prefix(word.size());
        return true;
    };
    const auto skipBlanks = [&bytes] {
        while (!bytes.empty() && (bytes.front() == ' ' || bytes.front() == '\t'))
            bytes.remove_prefix(1);
    };
    if (consume("[[")) {
        skipBlanks();
        if (!consume("material"))
            return false;
        skipBlanks();
        return consume("]]");
    }
    if (!consume("material"))
        return false;
    skipBlanks();
    return consume("=");
}

IoResult decodeMaterialsToml(std::string_view text, std::vector<Material>& materials)
{
    try {
        std::vector<Material> loaded = readLibrary(text);
        materials = std::move(loaded);
        return IoResult::success();
    } catch (const Refusal& refusal) {
        return IoResult::failure(refusal.what());
    } catch (const std::bad_alloc&) {
        return IoResult::failure("There is not enough memory to read the materials library");
    }
}

IoResult encodeMaterialsToml(const std::vector<Material>& materials, std::string& out)
{
    try {
        NameIndex names;
        for (std::size_t i = 0; i < materials.size(); ++i)
            if (std::string problem = checkWritable(materials[i], i, names); !problem.empty())
                return IoResult::failure("Cannot write the materials library: " + problem);
        std::string text(fileHeader);
        if (materials.empty())
            text += "\nmaterial = []\n";
        for (const Material& material : materials)
            appendMaterial(text, material);
        out = std::move(text);
        return IoResult::success();
    } catch (const std::bad_alloc&) {
        return IoResult::failure("There is not enough memory to write the materials library");
    }
}

IoResult saveMaterialsTomlFile(const std::string& path, const std::vector<Material>& materials)
{
    std::string text;
    if (IoResult encoded = encodeMaterialsToml(materials, text); !encoded)
        return encoded;
    return writeFileAtomically(path, text);
}

IoResult loadMaterialsTomlFile(const std::string& path, std::vector<Material>& materials)
{
    std::string text;
    if (IoResult read = readWholeFile(path, text); !read)
        return read;
    return decodeMaterialsToml(text, materials);
}

} // namespace tervane
