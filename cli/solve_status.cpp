#include "cli/solve_status.h"

#include <charconv>
#include <cmath>

#include "cli/text_format.h"
#include "model/document.h"

namespace tervane::cli {

namespace {

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// Length of the well-formed UTF-8 sequence that starts at `at`, or 0 when there is none (a stray
// continuation byte, an overlong form, a surrogate, a code point above U+10FFFF, a cut sequence).
std::size_t utf8SequenceLength(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[at + k]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char secondLow = 0x80;
    unsigned char secondHigh = 0xBF;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            secondLow = 0xA0;
        if (lead == 0xED)
            secondHigh = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            secondLow = 0x90;
        if (lead == 0xF4)
            secondHigh = 0x8F;
    } else {
        return 0;
    }
    if (at + length > text.size())
        return 0;
    if (byte(1) < secondLow || byte(1) > secondHigh)
        return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if (!isContinuation(byte(k)))
            return 0;
    }
    return length;
}

} // namespace

std::string statusText(const Document& document)
{
    return formatText("Solver error: %.5e iterations: %d bound states: %d ns: %.2e cm-2",
                      document.solverError, document.iterations, document.boundStates, document.sheetCharge);
}

std::string jsonNumber(double value)
{
    if (std::isnan(value))
        return "\"nan\"";
    if (std::isinf(value))
        return value > 0 ? "\"inf\"" : "\"-inf\"";
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc{} ? std::string(buffer, end) : formatText("%.17g", value);
}

std::string jsonString(std::string_view text)
{
    std::string json = "\"";
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        const std::size_t length = utf8SequenceLength(text, at);
        if (length > 1) {
            json.append(text.substr(at, length));
            at += length;
            continue;
        }
        ++at;
        switch (byte) {
        case '"':
            json += "\\\"";
            break;
        case '\\':
            json += "\\\\";
            break;
        case '\n':
            json += "\\n";
            break;
        case '\r':
            json += "\\r";
            break;
        case '\t':
            json += "\\t";
            break;
        default:
            if (byte < 0x20 || byte >= 0x7F)
                json += formatText("\\u%04x", static_cast<unsigned>(byte));
            else
                json += static_cast<char>(byte);
        }
    }
    json += '"';
    return json;
}

std::string statusJson(const Document& document, const std::vector<std::string>& messages)
{
    std::string json = "{\n";
    const auto member = [&json](const char* key, const std::string& value) {
        json += "  \"";
        json += key;
        json += "\": ";
        json += value;
        json += ",\n";
    };
    member("count", std::to_string(document.grid.count));
    member("iterations", std::to_string(document.iterations));
    member("solverError", jsonNumber(document.solverError));
    member("boundStates", std::to_string(document.boundStates));
    member("sheetCharge", jsonNumber(document.sheetCharge));
    member("substrateA", jsonNumber(document.substrateA));
    member("substratePsp", jsonNumber(document.substratePsp));
    member("chargeFirst", std::to_string(document.chargeFirst));
    member("chargeLast", std::to_string(document.chargeLast));
    json += "  \"messages\": [";
    for (std::size_t k = 0; k < messages.size(); ++k) {
        json += k == 0 ? "\n    " : ",\n    ";
        json += jsonString(messages[k]);
    }
    json += messages.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return json;
}

} // namespace tervane::cli
