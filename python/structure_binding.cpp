#include "python/structure_binding.h"

#include <cmath>
#include <string_view>
#include <utility>

#include <pybind11/stl.h>

#include "engine/document.h"
#include "io/document_file.h"
#include "io/materials_file.h"
#include "io/materials_loader.h"
#include "model/observer.h"
#include "python/errors.h"

namespace tervane::python {

namespace py = pybind11;

namespace {

// Refuses a value that is not a finite number at least `minimum` (greater than it when `strict`).
double checked(const char* name, double value, double minimum, bool strict, const char* unit)
{
    if (!std::isfinite(value) || value < minimum || (strict && value == minimum))
        throw py::value_error(std::string(name) + " must be a finite number " +
                              (strict ? "above " : "of at least ") + std::to_string(minimum) + " " + unit +
                              ", not " + std::to_string(value));
    return value;
}

Layer makeLayer(const std::string& material, double thickness, double x, double Nd, double Na, double Ndd,
                double Nda, double dx, double temperature, bool holes)
{
    Layer layer;
    layer.material = material;
    layer.thickness = checked("thickness", thickness, 0.0, false, "m");
    layer.dx = checked("dx", dx, 0.0, true, "m");
    layer.composition = Quadratic(checked("x", x, 0.0, false, "(alloy fraction)"), 0.0, 0.0);
    layer.Nd = checked("Nd", Nd, 0.0, false, "m^-3");
    layer.Na = checked("Na", Na, 0.0, false, "m^-3");
    layer.Ndd = checked("Ndd", Ndd, 0.0, false, "m^-3");
    layer.Nda = checked("Nda", Nda, 0.0, false, "m^-3");
    const double T = checked("temperature", temperature, 0.0, true, "K");
    layer.Tn = layer.Tp = Quadratic(T, 0.0, 0.0);
    layer.holes = holes;
    return layer;
}

Structure structureFromBytes(const std::string& bytes, StructureFormat format)
{
    CollectingObserver observer; // a script's non-fatal findings; the load goes on
    Structure structure;
    if (IoResult result = decodeStructure(bytes, format, observer, structure); !result)
        throw FileError(result.message);
    return structure;
}

StructureFormat formatNamed(const std::string& name)
{
    if (name == "detect")
        return StructureFormat::Detect;
    if (name == "document")
        return StructureFormat::Document;
    if (name == "script")
        return StructureFormat::Script;
    throw py::value_error("format must be \"detect\", \"document\" or \"script\", not \"" + name + "\"");
}

} // namespace

std::string missingMaterialLayer(const Structure& structure, const std::vector<Material>& materials)
{
    for (std::size_t k = 0; k < structure.layers.size(); ++k)
        if (!findMaterial(materials, structure.layers[k].material))
            return layerLabel(k, structure.layers[k]) + " names the material \"" +
                   structure.layers[k].material + "\", which the materials list does not hold";
    return {};
}

void bindStructures(py::module_& module)
{
    py::class_<Contact>(module, "Contact", "A contact: Neutral() or Fixed(barrier)")
        .def_property_readonly("fixed", [](const Contact& c) { return c.kind == ContactKind::Fixed; })
        .def_readonly("barrier", &Contact::barrier, "Barrier height Ec at the contact, eV (Fixed only)")
        .def("__repr__", [](const Contact& c) {
            return c.kind == ContactKind::Fixed ? "Fixed(" + std::to_string(c.barrier) + ")"
                                                : std::string("Neutral()");
        });
    module.def(
        "Fixed",
        [](double barrier) {
            return Contact{ContactKind::Fixed, checked("barrier", barrier, -1e3, false, "eV")};
        },
        py::arg("barrier"), "A fixed contact (a Schottky barrier): Ec at the contact is `barrier`, in eV.");
    module.def(
        "Neutral", [] { return Contact{}; }, "A neutral contact: charge neutrality at the contact.");

    py::class_<Layer>(
        module, "Layer",
        "One layer of a stack, index 0 at the left contact. SI units: lengths in m, densities in "
        "m^-3, temperatures in K.")
        .def(
            py::init(&makeLayer), py::arg("material"), py::kw_only(), py::arg("thickness"),
            py::arg("x") = 0.0, py::arg("Nd") = 0.0, py::arg("Na") = 0.0, py::arg("Ndd") = 0.0,
            py::arg("Nda") = 0.0, py::arg("dx") = 1e-9, py::arg("temperature") = 300.0,
            py::arg("holes") = true,
            "material: name in the materials list (exact match); thickness: m (0 or more); x: alloy fraction "
            "(the constant composition); Nd, Na: shallow donors and acceptors, m^-3; Ndd, Nda: deep donors "
            "and acceptors, m^-3; dx: grid spacing, m (above 0; default 1e-9 m, the import script's 10 A); "
            "temperature: electron and hole temperature, K; holes: whether the layer has holes at all. "
            "A negative or non-finite value raises ValueError, a value that is not a number TypeError.")
        .def_readonly("material", &Layer::material, "Material name")
        .def_readonly("thickness", &Layer::thickness, "Thickness, m")
        .def_readonly("dx", &Layer::dx, "Grid spacing, m")
        .def_property_readonly(
            "x", [](const Layer& layer) { return layer.composition.value(0.0); },
            "Alloy fraction at the layer's left edge")
        .def_readonly("Nd", &Layer::Nd, "Shallow donors, m^-3")
        .def_readonly("Na", &Layer::Na, "Shallow acceptors, m^-3")
        .def_readonly("Ndd", &Layer::Ndd, "Deep donors, m^-3")
        .def_readonly("Nda", &Layer::Nda, "Deep acceptors, m^-3")
        .def("__repr__", [](const Layer& layer) {
            return "Layer(\"" + layer.material + "\", thickness=" + std::to_string(layer.thickness) + ")";
        });

    py::class_<Structure>(module, "Structure", "A stack of layers between two contacts (index 0 on the left)")
        .def(py::init([](std::vector<Layer> layers, const Contact& left) {
                 Structure structure;
                 structure.layers = std::move(layers);
                 structure.leftContact = left.kind;
                 structure.leftBarrier = left.barrier;
                 return structure;
             }),
             py::arg("layers"), py::arg("left") = Contact{},
             "layers: list of Layer, the first at the left contact; left: the left contact (default "
             "Neutral())")
        .def_readonly("layers", &Structure::layers, "The layers (copies), index 0 at the left contact")
        .def_property_readonly("left",
                               [](const Structure& s) {
                                   return Contact{s.leftContact, s.leftBarrier};
                               })
        .def(
            "to_bytes",
            [](const Structure& s) {
                return py::bytes(encodeDocument(s.layers, s.leftContact, s.leftBarrier, s.settings));
            },
            "The structure as the bytes of a document file (.tvn)")
        .def(py::pickle(
            [](const Structure& s) {
                return py::bytes(encodeDocument(s.layers, s.leftContact, s.leftBarrier, s.settings));
            },
            [](const py::bytes& bytes) { return structureFromBytes(bytes, StructureFormat::Document); }));

    module.def(
        "load_structure",
        [](const std::string& path, const std::string& format) {
            CollectingObserver observer;
            Structure structure;
            if (IoResult result = loadStructure(path, formatNamed(format), observer, structure); !result)
                throw FileError(path + ": " + result.message);
            return structure;
        },
        py::arg("path"), py::arg("format") = "detect",
        "Reads a document file (.tvn) or an import script; format: \"detect\" (by content), \"document\" or "
        "\"script\". Raises FileError with the reader's message.");
    module.def(
        "parse_script",
        [](const std::string& text) { return structureFromBytes(text, StructureFormat::Script); },
        py::arg("text"),
        "A structure from the text of an import script (the units of the script: A, cm^-3).");

    py::class_<Materials>(module, "Materials", "A materials list, looked up by exact name (first match wins)")
        .def_property_readonly("names",
                               [](const Materials& m) {
                                   std::vector<std::string> names;
                                   for (const Material& material : m.list)
                                       names.push_back(material.name);
                                   return names;
                               })
        .def("__len__", [](const Materials& m) { return m.list.size(); })
        .def(py::pickle([](const Materials& m) { return py::bytes(encodeMaterials(m.list)); },
                        [](const py::bytes& bytes) {
                            Materials materials;
                            if (IoResult result = decodeMaterials(std::string_view(bytes), materials.list);
                                !result)
                                throw FileError(result.message);
                            return materials;
                        }));
    module.def(
        "load_materials",
        [](const std::string& path) {
            Materials materials;
            if (IoResult result = loadMaterials(path, materials.list); !result)
                throw FileError(path + ": " + result.message);
            return materials;
        },
        py::arg("path"),
        "Reads a TOML materials library or a binary materials file (.tvm), told apart by content.");
}

} // namespace tervane::python
