// The document file reader on arbitrary bytes. Beyond not crashing: a refused file gives a printable
// message and leaves what was open alone; an accepted one (version 1 or 2) is recognised as a document,
// says what of its settings block it skipped in printable notes, and written back as version 2 (with
// its settings) it reads again without a note to the same bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "io/document_file.h"
#include "tests/fuzz/fuzz_check.h"

using namespace tervane;
using tervane::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto encode = [](const DocumentFileContents& c) {
        return encodeDocument(c.layers, c.leftContact, c.leftBarrier, c.settings);
    };

    // What the user had open before choosing the file.
    DocumentFileContents contents;
    contents.layers.resize(1);
    contents.leftContact = ContactKind::Fixed;
    contents.leftBarrier = 0.8;
    contents.layers[0].material = "GaN";
    const std::string before = encode(contents);

    const IoResult read = decodeDocument(bytes, contents);
    if (!read) {
        check(fuzz::isPrintableText(read.message) && !read.message.empty(),
              "a refused document is explained in printable text", read.message);
        check(encode(contents) == before && contents.version == 2,
              "a refused document leaves the open one alone");
        return 0;
    }
    check(looksLikeDocumentFile(bytes), "a document that reads is recognised as one");
    for (const std::string& note : contents.notes)
        check(fuzz::isPrintableText(note) && !note.empty(),
              "a skipped setting is explained in printable text", note);

    const std::string written = encode(contents);
    DocumentFileContents again;
    const IoResult reread = decodeDocument(written, again);
    check(reread.ok && again.version == 2, "a document written from a read one reads back", reread.message);
    check(again.notes.empty(), "the settings written from a read document read back whole");
    check(encode(again) == written, "a document written from a read one reads back unchanged");
    return 0;
}
