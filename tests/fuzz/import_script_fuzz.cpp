// The import-script parser on arbitrary text. Beyond not crashing or hanging: a refused script leaves
// no layers and says why; an accepted one stays within the layer bound, holds only finite numbers, and
// its layers survive a document file round trip.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "io/document_file.h"
#include "io/import_script.h"
#include "model/observer.h"
#include "tests/fuzz/fuzz_check.h"

using namespace tervane;
using tervane::fuzz::check;

namespace {

// Beyond this the document round trip costs more time than it can find.
constexpr std::size_t maxLayersRoundTripped = 10000;

bool isFinite(const Layer& l)
{
    for (const Quadratic* law : {&l.composition, &l.Efn, &l.Efp, &l.Tn, &l.Tp})
        for (const double value :
             {law->a, law->b, law->c, l.Nd, l.Na, l.Ndd, l.Nda, l.dx, l.thickness, l.spare, l.strainFactor})
            if (!std::isfinite(value))
                return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    ScriptLineReader reader(text);
    long long lineNumber = 0;
    std::vector<Layer> layers(1);
    CollectingObserver observer;
    const IoResult parsed = parseScript(reader, lineNumber, layers, observer);

    check(lineNumber >= 0 && static_cast<std::size_t>(lineNumber) <= size,
          "no more lines are counted than read");
    for (const std::string& message : observer.messages)
        check(message.starts_with("Unknown command in line #") ||
                  message.starts_with("Missing repeat count in line #") ||
                  message.starts_with("Invalid number in line #"),
              "every finding is one of the script's messages", message);
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
