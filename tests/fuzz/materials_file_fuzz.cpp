// The binary materials file reader on arbitrary bytes. Beyond not crashing: a refused file gives a
// printable message and leaves the open list alone; an accepted one writes back and reads again bit for
// bit, and, where the TOML writer takes the list, comes back from TOML with the same bits too.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "io/materials_file.h"
#include "io/materials_toml.h"
#include "tests/fuzz/fuzz_check.h"

using namespace tervane;
using tervane::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // The list the user had open before choosing the file.
    std::vector<Material> materials(1);
    materials[0].name = "GaN";
    materials[0].Eg = Quadratic(3.4, 0.0, 0.0);
    const std::string before = encodeMaterials(materials);

    const IoResult read = decodeMaterials(bytes, materials);
    if (!read) {
        check(fuzz::isPrintableText(read.message) && !read.message.empty(),
              "a refused materials file is explained in printable text", read.message);
        check(encodeMaterials(materials) == before, "a refused materials file leaves the open list alone");
        return 0;
    }

    const std::string written = encodeMaterials(materials);
    std::vector<Material> again;
    const IoResult reread = decodeMaterials(written, again);
    check(reread.ok, "a materials file written from a read list reads back", reread.message);
    check(encodeMaterials(again) == written,
          "a materials file written from a read list reads back unchanged");

    std::string text;
    if (encodeMaterialsToml(materials, text)) {
        check(looksLikeMaterialsToml(text), "a written TOML library is recognised as one");
        std::vector<Material> fromToml;
        const IoResult back = decodeMaterialsToml(text, fromToml);
        check(back.ok, "a TOML library written from a read list reads back", back.message);
        check(encodeMaterials(fromToml) == written, "a list taken through TOML keeps every bit");
    }
    return 0;
}
