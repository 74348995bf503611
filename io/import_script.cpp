#include "io/import_script.h"

#include <locale.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <utility>

#include "io/file_util.h"
#include "model/constants.h"
#include "model/observer.h"

namespace tervane {

bool ScriptLineReader::readLine(std::string_view& line)
{
    if (atEnd())
        return false;
    const std::string_view rest = text_.substr(position_);
    const std::size_t lineBreak = rest.find('\n');
    const std::size_t length = lineBreak == std::string_view::npos ? rest.size() : lineBreak + 1;
    line = rest.substr(0, std::min(length, maxScriptLineLength));
    position_ += line.size();
    return true;
}

namespace {

// Exactly the C library's white-space class in the "C" locale, tested on the byte as it is: bytes
// above 127 are never white space, whatever the locale or the signedness of char.
bool isScriptSpace(char byte)
{
    switch (byte) {
    case ' ':
    case '\t':
    case '\n':
    case '\v':
    case '\f':
    case '\r':
        return true;
    default:
        return false;
    }
}

bool isDigit(char byte)
{
    return byte >= '0' && byte <= '9';
}

struct Token {
    std::string_view key;   // before the first "="
    std::string_view value; // after the last "="; empty without "="
};

// Splits the next run of non-white-space bytes off the front of `rest`.
bool nextToken(std::string_view& rest, Token& token)
{
    std::size_t start = 0;
    while (start < rest.size() && isScriptSpace(rest[start]))
        ++start;
    if (start == rest.size()) {
        rest = {};
        return false;
    }
    std::size_t end = start;
    while (end < rest.size() && !isScriptSpace(rest[end]))
        ++end;
    const std::string_view text = rest.substr(start, end - start);
    rest.remove_prefix(end);
    const std::size_t firstEquals = text.find('=');
    token.key = text.substr(0, firstEquals);
    token.value =
        firstEquals == std::string_view::npos ? std::string_view{} : text.substr(text.rfind('=') + 1);
    return true;
}

// Whole-word comparison ignoring ASCII case; `keyword` is given in lower case.
bool isKeyword(std::string_view key, std::string_view keyword)
{
    if (key.size() != keyword.size())
        return false;
    for (std::size_t i = 0; i < key.size(); ++i) {
        char byte = key[i];
        if (byte >= 'A' && byte <= 'Z')
            byte = static_cast<char>(byte - 'A' + 'a');
        if (byte != keyword[i])
            return false;
    }
    return true;
}

// Script numbers always have a decimal point, whatever locale the program was started in (a GUI
// toolkit may have switched LC_NUMERIC to the user's); the "%lf" scans run under the "C" locale on
// this thread and the caller's locale comes back afterwards.
class ClassicLocaleScope {
  public:
    ClassicLocaleScope()
    {
        static const locale_t classic = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
        if (classic != static_cast<locale_t>(0))
            previous_ = uselocale(classic);
    }
    ~ClassicLocaleScope()
    {
        if (previous_ != static_cast<locale_t>(0))
            uselocale(previous_);
    }
    ClassicLocaleScope(const ClassicLocaleScope&) = delete;
    ClassicLocaleScope& operator=(const ClassicLocaleScope&) = delete;

  private:
    locale_t previous_ = static_cast<locale_t>(0);
};

// "%d" on a repeat count: optional sign, then the longest run of digits (3.7 gives 3). No digits: no
// count. A count beyond the range of int is kept as INT_MAX + 1 or its negative instead of wrapping
// round as the C library's conversion does, so 1000000000000 stays a count far too large for the
// layer bound and -1000000000000 stays a count of no copies.
bool readRepeatCount(std::string_view value, long long& count)
{
    constexpr long long beyondInt = static_cast<long long>(INT_MAX) + 1;
    std::size_t i = 0;
    while (i < value.size() && isScriptSpace(value[i]))
        ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-'))
        negative = value[i++] == '-';
    if (i == value.size() || !isDigit(value[i]))
        return false;
    long long magnitude = 0;
    for (; i < value.size() && isDigit(value[i]); ++i)
        magnitude = std::min(beyondInt, magnitude * 10 + (value[i] - '0'));
    count = negative ? -magnitude : magnitude;
    return true;
}

std::string lineText(long long lineNumber)
{
    return "line #" + std::to_string(lineNumber);
}

// One parse of one script. Every layer is made straight onto the end of the one result list, and a
// repeat block copies its own stretch of that list in place, so no layer is copied once per level of
// nesting: the work stays in proportion to the layers made, which maxScriptLayers bounds.
class ScriptParser {
  public:
    ScriptParser(ScriptLineReader& reader, long long& lineNumber, Observer& observer)
        : reader_(reader), lineNumber_(lineNumber), observer_(observer)
    {
    }

    // Reads to the end of the text or to an "endrepeat" line, appending the layers made to `layers`.
    // `depth` is the number of blocks open around these lines; with `keep` false the lines are read
    // and reported on but make no layers. False on a fatal error, with failure() saying why.
    bool parseBlock(int depth, bool keep, std::vector<Layer>& layers);

    const std::string& failure() const { return failure_; }

  private:
    bool parseRepeat(int depth, bool keep, std::string_view line, std::string_view value,
                     std::vector<Layer>& layers);
    Layer readLayer(std::string_view material, std::string_view properties, std::string_view line);
    void applyProperty(const Token& token, Layer& layer, std::string_view line);
    void readNumber(std::string_view value, double factor, double& target, std::string_view line);
    void readLaw(std::string_view value, Quadratic& target, std::string_view line);
    void report(const char* what, std::string_view line);
    bool refuseLayerCount(long long atLine);

    ScriptLineReader& reader_;
    long long& lineNumber_;
    Observer& observer_;
    std::string failure_;
};

bool ScriptParser::parseBlock(int depth, bool keep, std::vector<Layer>& layers)
{
    std::string_view piece;
    while (reader_.readLine(piece)) {
        ++lineNumber_;
        // A NUL ends the line as the C string functions see it; the piece still counts as a line.
        const std::string_view line = piece.substr(0, piece.find('\0'));
        std::string_view rest = line;
        Token first;
        if (!nextToken(rest, first) || first.key.empty())
            continue;
        if (isKeyword(first.key, "repeat")) {
            if (!parseRepeat(depth, keep, line, first.value, layers))
                return false;
            continue;
        }
        if (isKeyword(first.key, "endrepeat"))
            return true;
        Layer layer = readLayer(first.key, rest, line);
        if (!keep)
            continue;
        if (layers.size() >= maxScriptLayers)
            return refuseLayerCount(lineNumber_);
        layers.push_back(std::move(layer));
    }
    return true;
}

// The count is read before the block so that a block repeated zero times keeps nothing and a depth
// past the bound is refused before recursing any further.
bool ScriptParser::parseRepeat(int depth, bool keep, std::string_view line, std::string_view value,
                               std::vector<Layer>& layers)
{
    const long long repeatLine = lineNumber_;
    if (depth >= maxRepeatDepth) {
        failure_ = "Repeat blocks nested deeper than " + std::to_string(maxRepeatDepth) + " in " +
                   lineText(repeatLine);
        return false;
    }
    long long copies = 1;
    if (!readRepeatCount(value, copies)) {
        report("Missing repeat count in ", line);
        copies = 1; // the block as written, once
    }
    const bool keepBlock = keep && copies > 0;
    const std::size_t start = layers.size();
    if (!parseBlock(depth + 1, keepBlock, layers))
        return false;
    const std::size_t blockSize = layers.size() - start;
    if (blockSize == 0 || copies <= 1)
        return true;
    // The block is already there once; the bound is checked before anything is allocated for the
    // other copies.
    const std::size_t room = maxScriptLayers - layers.size();
    if (static_cast<unsigned long long>(copies - 1) > room / blockSize)
        return refuseLayerCount(repeatLine);
    const std::size_t needed = layers.size() + blockSize * static_cast<std::size_t>(copies - 1);
    // Grown by at least half (up to the bound), so that many small repeats after a long stack stay
    // linear.
    if (needed > layers.capacity())
        layers.reserve(
            std::max(needed, std::min(maxScriptLayers, layers.capacity() + layers.capacity() / 2)));
    for (long long copy = 1; copy < copies; ++copy)
        for (std::size_t i = start; i < start + blockSize; ++i)
            layers.push_back(layers[i]); // no reallocation: the room is reserved
    return true;
}

Layer ScriptParser::readLayer(std::string_view material, std::string_view properties, std::string_view line)
{
    // Defaults of a script line; everything else as a new Layer has it.
    Layer layer;
    layer.material = std::string(material);
    layer.thickness = 0.0;
    layer.dx = 10.0 * metresPerAngstrom;
    layer.Nd = layer.Na = layer.Ndd = layer.Nda = 0.0;
    layer.composition = layer.Efn = layer.Efp = Quadratic{};
    layer.spare = 0.0;
    layer.holes = true;
    Token token;
    while (nextToken(properties, token))
        if (!token.key.empty())
            applyProperty(token, layer, line);
    return layer;
}

void ScriptParser::applyProperty(const Token& token, Layer& layer, std::string_view line)
{
    const std::string_view key = token.key;
    const std::string_view value = token.value;
    if (isKeyword(key, "x"))
        readLaw(value, layer.composition, line);
    else if (isKeyword(key, "t"))
        readNumber(value, metresPerAngstrom, layer.thickness, line);
    else if (isKeyword(key, "dx"))
        readNumber(value, metresPerAngstrom, layer.dx, line);
    else if (isKeyword(key, "nd"))
        readNumber(value, perCubicMetrePerPerCubicCm, layer.Nd, line);
    else if (isKeyword(key, "na"))
        readNumber(value, perCubicMetrePerPerCubicCm, layer.Na, line);
    else if (isKeyword(key, "ndd"))
        readNumber(value, perCubicMetrePerPerCubicCm, layer.Ndd, line);
    else if (isKeyword(key, "nda"))
        readNumber(value, perCubicMetrePerPerCubicCm, layer.Nda, line);
    else if (isKeyword(key, "efn"))
        readLaw(value, layer.Efn, line);
    else if (isKeyword(key, "efp"))
        readLaw(value, layer.Efp, line);
    else if (isKeyword(key, "relax")) {
        layer.relaxed = true;
        readNumber(value, 1.0, layer.strainFactor, line);
    } else if (isKeyword(key, "noholes"))
        layer.holes = false;
    else
        report("Unknown command in ", line);
}

// "%lf": a value that does not start with a number leaves `target` as it was. The scan also accepts
// "inf", "nan" and numbers too large for a double; a value that is not finite once in SI units is
// reported and likewise leaves `target` alone, so no NaN or infinity ever reaches a layer (it would
// poison the whole solve without a word).
void ScriptParser::readNumber(std::string_view value, double factor, double& target, std::string_view line)
{
    const std::string text(value);
    double number = 0.0;
    if (std::sscanf(text.c_str(), "%lf", &number) != 1)
        return;
    const double stored = number * factor;
    if (!std::isfinite(stored)) {
        report("Invalid number in ", line);
        return;
    }
    target = stored;
}

// "%lf, %lf, %lf": the numbers given fill a, b, c from the left, the rest are 0. A law with a number
// that is not finite is reported and left as it was, as for single numbers.
void ScriptParser::readLaw(std::string_view value, Quadratic& target, std::string_view line)
{
    const std::string text(value);
    double a = 0.0, b = 0.0, c = 0.0;
    std::sscanf(text.c_str(), "%lf, %lf, %lf", &a, &b, &c);
    if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(c)) {
        report("Invalid number in ", line);
        return;
    }
    target = Quadratic(a, b, c);
}

// "<what>line #<n>: <the line as read, line break included>".
void ScriptParser::report(const char* what, std::string_view line)
{
    observer_.message(what + lineText(lineNumber_) + ": " + std::string(line));
}

bool ScriptParser::refuseLayerCount(long long atLine)
{
    failure_ = "The script makes more than " + std::to_string(maxScriptLayers) + " layers (" +
               lineText(atLine) + ")";
    return false;
}

} // namespace

IoResult parseScript(ScriptLineReader& reader, long long& lineNumber, std::vector<Layer>& layers,
                     Observer& observer)
{
    const ClassicLocaleScope classicLocale;
    ScriptParser parser(reader, lineNumber, observer);
    std::vector<Layer> result;
    if (!parser.parseBlock(0, true, result)) {
        layers.clear();
        return IoResult::failure(parser.failure());
    }
    layers = std::move(result);
    return IoResult::success();
}

IoResult parseScriptText(std::string_view text, std::vector<Layer>& layers, Observer& observer)
{
    ScriptLineReader reader(text);
    long long lineNumber = 0;
    return parseScript(reader, lineNumber, layers, observer);
}

IoResult readScriptFile(const std::string& path, std::vector<Layer>& layers, Observer& observer)
{
    std::string text;
    if (const IoResult read = readWholeFile(path, text); !read) {
        layers.clear();
        // A missing file or a folder is the one failure the user is told about in these words; a file
        // too large to read keeps its own message.
        if (read.message.starts_with(textCouldNotOpenFile))
            return IoResult::failure(textCouldNotOpenFile);
        return read;
    }
    return parseScriptText(text, layers, observer);
}

} // namespace tervane
