#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "io/io_result.h"
#include "model/layer.h"

namespace tervane {

class Observer;

// Bounds no real structure reaches; a script past them is refused with a message naming the line.
inline constexpr int maxRepeatDepth = 64;
inline constexpr std::size_t maxScriptLayers = 1000000;

// A script handed out a line at a time as a C text stream gives it to fgets with a 2048-byte buffer:
// up to and including the line break, at most maxScriptLineLength bytes per read; the rest of a longer
// line comes as the next line. Holds a view: the text must outlive the reader.
inline constexpr std::size_t maxScriptLineLength = 2047;

class ScriptLineReader {
  public:
    explicit ScriptLineReader(std::string_view text) : text_(text) {}

    bool atEnd() const { return position_ >= text_.size(); }
    // The next line, or false at the end of the text.
    bool readLine(std::string_view& line);

  private:
    std::string_view text_;
    std::size_t position_ = 0;
};

// Reads lines from `reader` up to its end or an "endrepeat" outside any block, expanding repeat blocks
// (each parsed by a recursive call of its own). `lineNumber` is the number of the last line read before
// the call and is advanced over every line read, so a caller can go on counting. Same contract for
// `layers` and `observer` as parseScriptText.
IoResult parseScript(ScriptLineReader& reader, long long& lineNumber, std::vector<Layer>& layers,
                     Observer& observer);

// Parses the text of an import script. Non-fatal findings ("Unknown command in line #%d: %s", "Missing
// repeat count in line #%d: %s", "Invalid number in line #%d: %s") go to `observer` as they are met. On
// success `layers` receives the layers in order (replacing its contents); on a fatal error (limits exceeded)
// `layers` is left empty and the result says why.
IoResult parseScriptText(std::string_view text, std::vector<Layer>& layers, Observer& observer);

// Reads and parses a script file; "Could not open file" when it cannot be read.
IoResult readScriptFile(const std::string& path, std::vector<Layer>& layers, Observer& observer);

} // namespace tervane
