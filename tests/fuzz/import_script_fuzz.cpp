// The import-script parser on arbitrary text. Beyond not crashing or hanging: a refused script leaves
// no layers and says why; an accepted one stays within the layer bound, holds only finite numbers, and
// its layers survive a document file round trip.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/observer.h"
#include "io/document_file.h"
#include "io/import_script.h"
#include "tests/fuzz/fuzz_check.h"

using namespace tervane;
using tervane::fuzz::check;

namespace {

// Beyond this the document round trip costs more time than it can find.
constexpr std::size_t maxLayersRoundTripped = 10000;

bool isFinite(const Quadratic& law)
{
    return std::isfinite(law.a) && std::isfinite(law.b) && std::isfinite(law.c);
}

bool isFinite(const Layer& layer)
{
    for (const double value : {layer.Nd, layer.Na, layer.Ndd, layer.Nda, layer.dx, layer.thickness, layer.spare,
                               layer.strainFactor})
        if (!std::isfinite(value))
            return false;
    return isFinite(layer.composition) && isFinite(layer.Efn) && isFinite(layer.Efp) && isFinite(layer.Tn) &&
           isFinite(layer.Tp);
}

bool startsWithFinding(const std::string& message)
{
    for (const std::string_view finding : {"Unknown command in line #", "Missing repeat count in line #",
                                           "Invalid number in line #"})
        if (message.starts_with(finding))
            return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    ScriptLineReader reader(text);
    long long lineNumber = 0;
    std::vector<Layer> layers(1);
    CollectingObserver observer;
    const IoResult parsed = parseScript(reader, lineNumber, layers, observer);

    check(lineNumber >= 0 && static_cast<std::size_t>(lineNumber) <= size, "no more lines are counted than read");
    for (const std::string& message : observer.messages)
        check(startsWithFinding(message), "every finding is one of the script's messages", message);
    if (!parsed) {
        check(layers.empty() && !parsed.message.empty(), "a refused script leaves no layers and says why",
              parsed.message);
        return 0;
    }

    check(layers.size() <= maxScriptLayers, "a script makes no more layers than the bound");
    for (const Layer& layer : layers) {
        check(isFinite(layer), "no number that is not finite reaches a layer", layer.material);
        check(!layer.material.empty(), "every layer names a material");
    }
    if (layers.size() > maxLayersRoundTripped)
        return 0;

    const std::string bytes = encodeDocument(layers, ContactKind::Neutral, 0.0);
    DocumentFileContents contents;
    const IoResult reread = decodeDocument(bytes, contents);
    check(reread.ok, "the layers of a script are stored in a document that reads back", reread.message);
    check(contents.layers == layers, "the layers of a script come back unchanged from a document");
    return 0;
}
