#include "cli/solve_status.h"

#include <charconv>
#include <cmath>

#include "cli/text_format.h"
#include "engine/document.h"
#include "model/text.h"

namespace tervane::cli {

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
        const std::size_t length = utf8SequenceLength(text.substr(at));
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
    member("converged", document.converged ? "true" : "false");
    member("tolerance", jsonNumber(document.tolerance));
    member("boundStates", std::to_string(document.boundStates));
    member("sheetCharge", jsonNumber(document.sheetCharge));
    member("substrateA", jsonNumber(document.substrateA));
    member("substratePsp", jsonNumber(document.substratePsp));
    member("chargeFirst", std::to_string(document.chargeFirst));
    member("chargeLast", std::to_string(document.chargeLast));
    // The bound states: level minus the quasi-Fermi level (eV), population (cm^-2), depth of the peak (nm).
    static constexpr const char* carrierNames[] = {"electron", "light hole", "heavy hole"};
    std::string subbands = "[";
    for (std::size_t k = 0; k < document.subbands.size(); ++k) {
        const Subband& s = document.subbands[k];
        subbands += k == 0 ? "\n    " : ",\n    ";
        subbands += "{\"carrier\": " + jsonString(carrierNames[static_cast<int>(s.carrier)]) +
                    ", \"energy\": " + jsonNumber(s.energy) +
                    ", \"population\": " + jsonNumber(s.population * 1e-4) +
                    ", \"peak\": " + jsonNumber(s.peak * 1e9) + "}";
    }
    subbands += document.subbands.empty() ? "]" : "\n  ]";
    member("subbands", subbands);
    json += "  \"messages\": [";
    for (std::size_t k = 0; k < messages.size(); ++k) {
        json += k == 0 ? "\n    " : ",\n    ";
        json += jsonString(messages[k]);
    }
    json += messages.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return json;
}

} // namespace tervane::cli
