#include "io/sweep_file.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <set>
#include <stdexcept>
#include <tuple>
#include <utility>

#include "io/toml_values.h"
#include "model/constants.h"

namespace tervane {

namespace {

constexpr double metresPerNanometre = 1e-9;

// Why a sweep file was refused; thrown inside the reader only, caught by decodeSweepFile.
class Refusal : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Reads the keys of one table, naming the table ("settings", "parameter 2 \"d\"") in every message.
class TableReader {
  public:
    TableReader(const toml::table& table, std::string subject) : table_(table), subject_(std::move(subject))
    {
    }

    void rename(std::string subject) { subject_ = std::move(subject); }

    [[noreturn]] void refuse(std::string_view key, const std::string& problem, const toml::node* node) const
    {
        const toml::source_region& where = node ? node->source() : table_.source();
        throw Refusal(subject_ + ", key \"" + std::string(key) + "\": " + problem + tomlPlace(where));
    }

    void allowOnly(std::initializer_list<std::string_view> keys) const
    {
        for (auto&& [key, value] : table_) {
            bool known = false;
            std::string list;
            for (std::string_view allowed : keys) {
                known = known || key.str() == allowed;
                list += (list.empty() ? "" : ", ") + std::string(allowed);
            }
            if (!known)
                refuse(key.str(), "unknown key; here the keys are " + list, &value);
        }
    }

    const toml::node* find(std::string_view key) const { return table_.get(key); }

    const toml::node& require(std::string_view key) const
    {
        const toml::node* node = table_.get(key);
        if (!node)
            refuse(key, "missing", nullptr);
        return *node;
    }

    std::string string(std::string_view key) const { return stringOf(require(key), key); }

    std::string stringOf(const toml::node& node, std::string_view key) const
    {
        const toml::value<std::string>* text = node.as_string();
        if (!text)
            refuse(key, "must be a string, not " + tomlTypeName(node.type()), &node);
        return text->get();
    }

    double numberOf(const toml::node& node, std::string_view key) const
    {
        double value = 0.0;
        if (const toml::value<double>* floating = node.as_floating_point())
            value = floating->get();
        else if (const toml::value<std::int64_t>* integer = node.as_integer())
            value = static_cast<double>(integer->get());
        else
            refuse(key, "must be a number, not " + tomlTypeName(node.type()), &node);
        if (!std::isfinite(value))
            refuse(key, "must be a finite number", &node);
        return value;
    }

    double number(std::string_view key) const { return numberOf(require(key), key); }

    long long wholeOf(const toml::node& node, std::string_view key) const
    {
        const toml::value<std::int64_t>* integer = node.as_integer();
        if (!integer)
            refuse(key, "must be a whole number, not " + tomlTypeName(node.type()), &node);
        if (integer->get() < 0)
            refuse(key, "must be 0 or more", &node);
        return integer->get();
    }

    bool boolean(std::string_view key, bool otherwise) const
    {
        const toml::node* node = find(key);
        if (!node)
            return otherwise;
        const toml::value<bool>* flag = node->as_boolean();
        if (!flag)
            refuse(key, "must be true or false, not " + tomlTypeName(node->type()), node);
        return flag->get();
    }

    std::vector<double> numbers(const toml::node& node, std::string_view key) const
    {
        const toml::array* array = node.as_array();
        if (!array)
            refuse(key, "must be an array of numbers, not " + tomlTypeName(node.type()), &node);
        std::vector<double> values;
        for (const toml::node& element : *array)
            values.push_back(numberOf(element, key));
        return values;
    }

    // [A, B] in nm with 0 <= A < B, returned in m.
    std::pair<double, double> depthRange(std::string_view key) const
    {
        const toml::node& node = require(key);
        const std::vector<double> range = numbers(node, key);
        if (range.size() != 2 || !(range[0] >= 0.0 && range[0] < range[1]))
            refuse(key, "must be two depths [A, B] in nm with 0 <= A < B", &node);
        return {range[0] * metresPerNanometre, range[1] * metresPerNanometre};
    }

    double depth(std::string_view key) const
    {
        const double value = number(key);
        if (value < 0.0)
            refuse(key, "a depth is 0 nm or more", find(key));
        return value * metresPerNanometre;
    }

    const toml::table& table() const { return table_; }

  private:
    const toml::table& table_;
    std::string subject_;
};

const toml::table& tableOf(const toml::node& node, const std::string& what)
{
    const toml::table* table = node.as_table();
    if (!table)
        throw Refusal(what + ": must be a table, not " + tomlTypeName(node.type()) +
                      tomlPlace(node.source()));
    return *table;
}

// "neutral" or a barrier height in eV (a Fixed contact).
void readContact(const TableReader& reader, std::string_view key, std::optional<ContactKind>& contact,
                 double& barrier)
{
    const toml::node* node = reader.find(key);
    if (!node)
        return;
    if (const toml::value<std::string>* text = node->as_string()) {
        if (text->get() != "neutral")
            reader.refuse(key, "is \"neutral\" or the barrier height of a fixed contact in eV", node);
        contact = ContactKind::Neutral;
        return;
    }
    barrier = reader.numberOf(*node, key);
    contact = ContactKind::Fixed;
}

SweepSolveSettings readSettings(const toml::table& table)
{
    const TableReader reader(table, "settings");
    reader.allowOnly({"schroedinger", "valence", "polarization", "partial_ionization", "self_consistency",
                      "eigensolver", "poisson_iterations", "schroedinger_iterations",
                      "schroedinger_tolerance", "damping", "quantum_region_nm", "left", "right",
                      "temperature"});
    SweepSolveSettings settings;
    settings.selfConsistency = SelfConsistency::Accelerated;
    settings.schroedinger = reader.boolean("schroedinger", false);
    settings.valence = reader.boolean("valence", false);
    if (settings.valence && !settings.schroedinger)
        reader.refuse("valence", "needs schroedinger = true", reader.find("valence"));
    settings.polarization = reader.boolean("polarization", true);
    settings.partialIonization = reader.boolean("partial_ionization", false);
    if (reader.find("self_consistency")) {
        const std::string mode = reader.string("self_consistency");
        if (mode != "accelerated" && mode != "alternating")
            reader.refuse("self_consistency", "is \"accelerated\" or \"alternating\"",
                          reader.find("self_consistency"));
        settings.selfConsistency =
            mode == "accelerated" ? SelfConsistency::Accelerated : SelfConsistency::Alternating;
    }
    if (reader.find("eigensolver")) {
        const std::string kind = reader.string("eigensolver");
        if (kind != "tridiagonal" && kind != "dense")
            reader.refuse("eigensolver", "is \"tridiagonal\" or \"dense\"", reader.find("eigensolver"));
        settings.eigenSolver = kind == "dense" ? EigenSolverKind::Dense : EigenSolverKind::Tridiagonal;
    }
    for (const auto& [key, limit] : {std::pair{"poisson_iterations", &settings.poissonIterations},
                                     std::pair{"schroedinger_iterations", &settings.schroedingerIterations}})
        if (const toml::node* node = reader.find(key)) {
            const long long value = reader.wholeOf(*node, key);
            if (value > 1'000'000)
                reader.refuse(key, "is at most 1000000", node);
            *limit = static_cast<int>(value);
        }
    if (reader.find("schroedinger_tolerance")) {
        settings.tolerance = reader.number("schroedinger_tolerance");
        if (!(*settings.tolerance > 0.0))
            reader.refuse("schroedinger_tolerance", "must be greater than 0 V",
                          reader.find("schroedinger_tolerance"));
    }
    if (reader.find("damping")) {
        settings.damping = reader.number("damping");
        if (*settings.damping < 0.0 || *settings.damping > 1.0)
            reader.refuse("damping", "must lie between 0 and 1", reader.find("damping"));
    }
    if (reader.find("quantum_region_nm")) {
        settings.quantumRegion = true;
        std::tie(settings.quantumFrom, settings.quantumTo) = reader.depthRange("quantum_region_nm");
    }
    readContact(reader, "left", settings.leftContact, settings.leftBarrier);
    readContact(reader, "right", settings.rightContact, settings.rightBarrier);
    if (reader.find("temperature")) {
        settings.temperature = reader.number("temperature");
        if (!(*settings.temperature > 0.0))
            reader.refuse("temperature", "must be greater than 0 K", reader.find("temperature"));
    }
    return settings;
}

using LayerNames = std::map<std::string, std::size_t, std::less<>>;

LayerNames readLayerNames(const toml::table& table)
{
    const TableReader reader(table, "layers");
    LayerNames names;
    for (auto&& [key, value] : table) {
        const std::string name(key.str());
        if (name.empty() || name.find('.') != std::string::npos || name.find_first_of("0123456789") == 0)
            reader.refuse(name, "a layer's name has no '.' and does not start with a digit", &value);
        names[name] = static_cast<std::size_t>(reader.wholeOf(value, name));
    }
    return names;
}

// A layer by a name of [layers] or by its index.
std::size_t layerOf(const TableReader& reader, std::string_view key, const std::string& text,
                    const LayerNames& names)
{
    if (const auto named = names.find(text); named != names.end())
        return named->second;
    if (!text.empty() && text.find_first_not_of("0123456789") == std::string::npos && text.size() < 10)
        return static_cast<std::size_t>(std::stoul(text));
    reader.refuse(key, "\"" + text + "\" is neither a layer index nor a name given in [layers]",
                  reader.find(key));
}

struct FieldName {
    std::string_view name;
    SweepTarget target;
};

constexpr FieldName layerFields[] = {
    {"t", SweepTarget::LayerThickness}, {"dx", SweepTarget::LayerDx}, {"x", SweepTarget::LayerComposition},
    {"Nd", SweepTarget::LayerNd},       {"Na", SweepTarget::LayerNa}, {"Ndd", SweepTarget::LayerNdd},
    {"Nda", SweepTarget::LayerNda},
};

void readTarget(const TableReader& reader, const LayerNames& names, SweepParameter& parameter)
{
    const std::string set = reader.string("set");
    if (set == "left_barrier" || set == "right_barrier" || set == "temperature") {
        parameter.target = set == "temperature"    ? SweepTarget::Temperature
                           : set == "left_barrier" ? SweepTarget::LeftBarrier
                                                   : SweepTarget::RightBarrier;
        return;
    }
    const std::size_t dot = set.rfind('.');
    if (dot == std::string::npos)
        reader.refuse("set",
                      "\"" + set +
                          "\" is not a parameter; use LAYER.FIELD (FIELD one of t, dx, x, Nd, Na, "
                          "Ndd, Nda), left_barrier, right_barrier or temperature",
                      reader.find("set"));
    parameter.layer = layerOf(reader, "set", set.substr(0, dot), names);
    const std::string field = set.substr(dot + 1);
    for (const FieldName& known : layerFields)
        if (field == known.name) {
            parameter.target = known.target;
            return;
        }
    reader.refuse("set", "\"" + field + "\" is not a layer field; use t, dx, x, Nd, Na, Ndd or Nda",
                  reader.find("set"));
}

// values = [...], linear = [FROM, TO, COUNT] or log = [FROM, TO, COUNT]: exactly one of them.
std::vector<double> readValues(const TableReader& reader)
{
    int given = 0;
    for (const char* key : {"values", "linear", "log"})
        given += reader.find(key) ? 1 : 0;
    if (given != 1)
        reader.refuse("values",
                      "give exactly one of values = [...], linear = [FROM, TO, COUNT] and "
                      "log = [FROM, TO, COUNT]",
                      nullptr);
    if (const toml::node* node = reader.find("values")) {
        std::vector<double> values = reader.numbers(*node, "values");
        if (values.empty())
            reader.refuse("values", "is empty", node);
        return values;
    }
    const bool logarithmic = reader.find("log") != nullptr;
    const char* key = logarithmic ? "log" : "linear";
    const toml::node& node = reader.require(key);
    const toml::array* array = node.as_array();
    if (!array || array->size() != 3 || !(*array)[2].is_integer())
        reader.refuse(key, "must be [FROM, TO, COUNT] with a whole COUNT", &node);
    const double from = reader.numberOf((*array)[0], key);
    const double to = reader.numberOf((*array)[1], key);
    const long long count = reader.wholeOf((*array)[2], key);
    if (count < 1 || count > maxSweepPoints)
        reader.refuse(key, "COUNT must be 1 or more", &node);
    if (logarithmic && !(from > 0.0 && to > 0.0))
        reader.refuse(key, "a log range needs FROM and TO greater than 0", &node);
    std::vector<double> values(static_cast<std::size_t>(count));
    for (long long k = 0; k < count; ++k) {
        const double t = count == 1 ? 0.0 : static_cast<double>(k) / static_cast<double>(count - 1);
        values[static_cast<std::size_t>(k)] =
            logarithmic ? std::exp(std::log(from) + t * (std::log(to) - std::log(from)))
                        : from + t * (to - from);
    }
    values.back() = count == 1 ? from : to; // the ends exactly as written
    values.front() = from;
    return values;
}

// Column names must stay single CSV fields and must not clash with the table's own columns.
void checkColumnName(const TableReader& reader, const std::string& name, std::set<std::string>& taken)
{
    if (name.empty() || name.find_first_of(",\"\r\n") != std::string::npos)
        reader.refuse("name", "a column name is not empty and holds no comma, quote or line break",
                      reader.find("name"));
    if (name == "point" || name == "status" || name == "message" || !taken.insert(name).second)
        reader.refuse("name", "\"" + name + "\" is already a column of the results table",
                      reader.find("name"));
}

std::vector<SweepParameter> readParameters(const toml::array& array, const LayerNames& names,
                                           std::set<std::string>& taken)
{
    std::vector<SweepParameter> parameters;
    for (std::size_t i = 0; i < array.size(); ++i) {
        const std::string subject = "parameter " + std::to_string(i + 1);
        TableReader reader(tableOf(array[i], subject), subject);
        reader.allowOnly({"name", "set", "values", "linear", "log"});
        SweepParameter parameter;
        parameter.name = reader.string("name");
        reader.rename(subject + " \"" + parameter.name + "\"");
        checkColumnName(reader, parameter.name, taken);
        readTarget(reader, names, parameter);
        parameter.values = readValues(reader);
        parameters.push_back(std::move(parameter));
    }
    return parameters;
}

struct FigureKindName {
    std::string_view name;
    SweepFigureKind kind;
};

constexpr FigureKindName figureKinds[] = {
    {"sheet_density", SweepFigureKind::SheetDensity},
    {"layer_sheet_density", SweepFigureKind::LayerSheetDensity},
    {"subband", SweepFigureKind::Subband},
    {"Ec", SweepFigureKind::ConductionEdge},
    {"Ev", SweepFigureKind::ValenceEdge},
    {"passes", SweepFigureKind::Passes},
    {"converged", SweepFigureKind::Converged},
    {"solve_time", SweepFigureKind::SolveTime},
};

SweepFigure readFigure(const TableReader& reader, const LayerNames& names)
{
    SweepFigure figure;
    const std::string kind = reader.string("kind");
    bool known = false;
    for (const FigureKindName& name : figureKinds)
        if (kind == name.name) {
            figure.kind = name.kind;
            known = true;
        }
    if (!known)
        reader.refuse("kind",
                      "\"" + kind +
                          "\" is not a figure; use sheet_density, layer_sheet_density, subband, Ec, "
                          "Ev, passes, converged or solve_time",
                      reader.find("kind"));
    switch (figure.kind) {
    case SweepFigureKind::SheetDensity:
        reader.allowOnly({"name", "kind", "range_nm"});
        std::tie(figure.from, figure.to) = reader.depthRange("range_nm");
        break;
    case SweepFigureKind::LayerSheetDensity:
        reader.allowOnly({"name", "kind", "layer"});
        if (const toml::node* node = reader.find("layer"); node && node->is_integer())
            figure.layer = static_cast<std::size_t>(reader.wholeOf(*node, "layer"));
        else
            figure.layer = layerOf(reader, "layer", reader.string("layer"), names);
        break;
    case SweepFigureKind::Subband: {
        reader.allowOnly({"name", "kind", "index", "carrier", "peak_nm"});
        if (const toml::node* node = reader.find("index"))
            figure.index = static_cast<int>(std::min(reader.wholeOf(*node, "index"), 1'000'000LL));
        if (reader.find("carrier")) {
            const std::string carrier = reader.string("carrier");
            if (carrier == "electron")
                figure.carrier = Carrier::Electron;
            else if (carrier == "light_hole")
                figure.carrier = Carrier::LightHole;
            else if (carrier == "heavy_hole")
                figure.carrier = Carrier::HeavyHole;
            else
                reader.refuse("carrier", "is \"electron\", \"light_hole\" or \"heavy_hole\"",
                              reader.find("carrier"));
        }
        if (reader.find("peak_nm"))
            std::tie(figure.from, figure.to) = reader.depthRange("peak_nm");
        break;
    }
    case SweepFigureKind::ConductionEdge:
    case SweepFigureKind::ValenceEdge:
        reader.allowOnly({"name", "kind", "depth_nm"});
        figure.depth = reader.depth("depth_nm");
        break;
    default:
        reader.allowOnly({"name", "kind"});
    }
    return figure;
}

std::vector<SweepFigure> readFigures(const toml::array& array, const LayerNames& names,
                                     std::set<std::string>& taken)
{
    std::vector<SweepFigure> figures;
    for (std::size_t i = 0; i < array.size(); ++i) {
        const std::string subject = "figure " + std::to_string(i + 1);
        TableReader reader(tableOf(array[i], subject), subject);
        const std::string name = reader.string("name");
        reader.rename(subject + " \"" + name + "\"");
        checkColumnName(reader, name, taken);
        SweepFigure figure = readFigure(reader, names);
        figure.name = name;
        figures.push_back(std::move(figure));
    }
    return figures;
}

const toml::array& arrayOfTables(const toml::table& root, std::string_view key)
{
    const toml::node* node = root.get(key);
    if (!node)
        throw Refusal("Key \"" + std::string(key) + "\": missing; a sweep has at least one [[" +
                      std::string(key) + "]] table");
    const toml::array* array = node->as_array();
    if (!array || array->empty())
        throw Refusal("Key \"" + std::string(key) + "\": must be one or more [[" + std::string(key) +
                      "]] tables" + tomlPlace(node->source()));
    return *array;
}

std::string resolved(const std::string& folder, const std::string& path)
{
    const std::filesystem::path given(path);
    if (given.is_absolute() || folder.empty())
        return path;
    return (std::filesystem::path(folder) / given).lexically_normal().string();
}

SweepFile readSweepFile(std::string_view text, const std::string& folder)
{
    toml::table root;
    try {
        root = toml::parse(text);
    } catch (const toml::parse_error& error) {
        const toml::source_position& at = error.source().begin;
        throw Refusal("The sweep file is not valid TOML: line " + std::to_string(at.line) + ", column " +
                      std::to_string(at.column) + ": " + std::string(error.description()));
    }
    const TableReader top(root, "The sweep file");
    top.allowOnly({"structure", "materials", "combine", "settings", "layers", "parameter", "figure"});

    SweepFile file;
    file.structurePath = resolved(folder, top.string("structure"));
    if (top.find("materials"))
        file.materialsPath = resolved(folder, top.string("materials"));
    if (top.find("combine")) {
        const std::string combine = top.string("combine");
        if (combine != "product" && combine != "zip")
            top.refuse("combine", "is \"product\" or \"zip\"", top.find("combine"));
        file.sweep.combination = combine == "zip" ? SweepCombination::Zip : SweepCombination::Product;
    }
    if (const toml::node* settings = root.get("settings"))
        file.settings = readSettings(tableOf(*settings, "Key \"settings\""));
    LayerNames names;
    if (const toml::node* layers = root.get("layers"))
        names = readLayerNames(tableOf(*layers, "Key \"layers\""));

    std::set<std::string> taken;
    file.sweep.parameters = readParameters(arrayOfTables(root, "parameter"), names, taken);
    file.sweep.figures = readFigures(arrayOfTables(root, "figure"), names, taken);

    if (file.sweep.combination == SweepCombination::Zip)
        for (const SweepParameter& parameter : file.sweep.parameters)
            if (parameter.values.size() != file.sweep.parameters.front().values.size())
                throw Refusal("combine = \"zip\" needs lists of one length: parameter \"" + parameter.name +
                              "\" has " + std::to_string(parameter.values.size()) + " values, \"" +
                              file.sweep.parameters.front().name + "\" " +
                              std::to_string(file.sweep.parameters.front().values.size()));
    if (sweepPointCount(file.sweep) > maxSweepPoints)
        throw Refusal("The sweep has more than " + std::to_string(maxSweepPoints) + " points");
    return file;
}

} // namespace

IoResult decodeSweepFile(std::string_view text, const std::string& folder, SweepFile& file)
{
    try {
        SweepFile read = readSweepFile(text, folder);
        file = std::move(read);
        return IoResult::success();
    } catch (const Refusal& refusal) {
        return IoResult::failure(refusal.what());
    } catch (const std::bad_alloc&) {
        return IoResult::failure("There is not enough memory to read the sweep file");
    }
}

} // namespace tervane
