// The TOML materials reader on arbitrary text. Beyond not crashing: a refused library gives a printable
// message and leaves the open list alone; an accepted one is taken by the writer (the reader lets through
// nothing the writer refuses), and the written text reads back to the same bits.
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
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    looksLikeMaterialsToml(text);

    std::vector<Material> materials(1);
    materials[0].name = "GaN";
    materials[0].Eg = Quadratic(3.4, 0.0, 0.0);
    const std::string before = encodeMaterials(materials);

    const IoResult read = decodeMaterialsToml(text, materials);
    if (!read) {
        check(fuzz::isPrintableText(read.message) && !read.message.empty(),
              "a refused TOML library is explained in printable text", read.message);
        check(encodeMaterials(materials) == before, "a refused TOML library leaves the open list alone");
        return 0;
    }

    const std::string bits = encodeMaterials(materials);
    std::string written;
    const IoResult encoded = encodeMaterialsToml(materials, written);
    check(encoded.ok, "the TOML writer takes every list the TOML reader accepts", encoded.message);
    check(looksLikeMaterialsToml(written), "a written TOML library is recognised as one");
    std::vector<Material> again;
    const IoResult reread = decodeMaterialsToml(written, again);
    check(reread.ok, "a written TOML library reads back", reread.message);
    check(encodeMaterials(again) == bits, "a TOML library written from a read list keeps every bit");
    return 0;
}
