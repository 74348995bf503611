#include "cli/solve_arguments.h"

#include <charconv>
#include <cmath>
#include <system_error>
#include <vector>

#include "engine/cv_profile.h"

namespace tervane::cli {

namespace {

std::string quoted(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

// from_chars takes no '+'; people type one now and then.
std::string_view withoutPlus(std::string_view text)
{
    if (text.size() > 1 && text.front() == '+' && text[1] != '-' && text[1] != '+')
        text.remove_prefix(1);
    return text;
}

std::vector<std::string_view> splitAtColons(std::string_view text)
{
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t colon = text.find(':');
        parts.push_back(text.substr(0, colon));
        if (colon == std::string_view::npos)
            return parts;
        text.remove_prefix(colon + 1);
    }
}

// A whole number of 0 or more; `what` names it in the reason.
std::string parseCount(std::string_view text, const char* what, int& value)
{
    const std::string_view digits = withoutPlus(text);
    if (digits.empty())
        return std::string(what) + " is missing";
    int parsed = 0;
    const char* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, parsed);
    if (error == std::errc::result_out_of_range)
        return quoted(text) + " is too large for " + what;
    if (error != std::errc{} || stop != end)
        return quoted(text) + " is not a whole number";
    if (parsed < 0)
        return std::string(what) + " must be 0 or more, not " + quoted(text);
    value = parsed;
    return {};
}

// parseFiniteNumber with the part's name in front of the reason.
std::string parseNamedNumber(std::string_view text, const char* what, double& value)
{
    std::string reason = parseFiniteNumber(text, value);
    return reason.empty() ? reason : std::string(what) + ": " + reason;
}

} // namespace

std::string parseFiniteNumber(std::string_view text, double& value)
{
    const std::string_view digits = withoutPlus(text);
    if (digits.empty())
        return "a number is missing";
    double parsed = 0.0;
    const char* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, parsed);
    if (error == std::errc::result_out_of_range)
        return quoted(text) + " is beyond the range of numbers";
    if (error != std::errc{} || stop != end)
        return quoted(text) + " is not a number";
    if (!std::isfinite(parsed))
        return quoted(text) + " is not a finite number";
    value = parsed;
    return {};
}

std::string parseDamping(std::string_view text, double& damping)
{
    double parsed = 0.0;
    if (std::string reason = parseFiniteNumber(text, parsed); !reason.empty())
        return reason;
    if (parsed < 0.0 || parsed > 1.0)
        return "the damping must lie between 0 and 1, not " + quoted(text);
    damping = parsed;
    return {};
}

std::string parsePositiveNumber(std::string_view text, double& value)
{
    double parsed = 0.0;
    if (std::string reason = parseFiniteNumber(text, parsed); !reason.empty())
        return reason;
    if (!(parsed > 0.0))
        return "the value must be greater than 0, not " + quoted(text);
    value = parsed;
    return {};
}

std::string parseIterationLimit(std::string_view text, int& limit)
{
    return parseCount(text, "the iteration limit", limit);
}

std::string parseContact(std::string_view text, ContactChoice& contact)
{
    if (text == "neutral") {
        contact = ContactChoice{};
        return {};
    }
    constexpr std::string_view fixedPrefix = "fixed:";
    if (text == "fixed")
        return "a fixed contact needs its barrier height: fixed:B (eV)";
    if (text.substr(0, fixedPrefix.size()) != fixedPrefix)
        return quoted(text) + " is not a contact; use neutral or fixed:B";
    double barrier = 0.0;
    if (std::string reason = parseNamedNumber(text.substr(fixedPrefix.size()), "barrier height", barrier);
        !reason.empty())
        return reason;
    contact.fixed = true;
    contact.barrier = barrier;
    return {};
}

std::string parseSubstrate(std::string_view text, SubstrateChoice& substrate)
{
    const std::size_t colon = text.rfind(':');
    const std::string_view name = text.substr(0, colon);
    if (name.empty())
        return "the substrate material's name is missing";
    double x = 0.0;
    if (colon != std::string_view::npos) {
        if (std::string reason = parseNamedNumber(text.substr(colon + 1), "composition", x); !reason.empty())
            return reason;
    }
    substrate.name = std::string(name);
    substrate.x = x;
    return {};
}

std::string parseDepthRange(std::string_view text, DepthRange& range)
{
    const std::vector<std::string_view> parts = splitAtColons(text);
    if (parts.size() != 2)
        return quoted(text) + " is not a depth range; use A:B (nm)";
    DepthRange parsed;
    if (std::string reason = parseNamedNumber(parts[0], "A", parsed.from); !reason.empty())
        return reason;
    if (std::string reason = parseNamedNumber(parts[1], "B", parsed.to); !reason.empty())
        return reason;
    if (!(parsed.from >= 0.0 && parsed.from < parsed.to))
        return quoted(text) + ": the depths must satisfy 0 <= A < B";
    range = {parsed.from * 1e-9, parsed.to * 1e-9};
    return {};
}

std::string parseSheetRange(std::string_view text, SheetRange& range)
{
    if (text.size() > 2 && text.substr(text.size() - 2) == "nm") {
        DepthRange depths;
        if (std::string reason = parseDepthRange(text.substr(0, text.size() - 2), depths); !reason.empty())
            return reason;
        SheetRange parsed;
        parsed.inNanometres = true;
        parsed.from = depths.from;
        parsed.to = depths.to;
        range = parsed;
        return {};
    }
    const std::vector<std::string_view> parts = splitAtColons(text);
    if (parts.size() != 2)
        return quoted(text) + " is not a range; use FIRST:LAST (grid indices) or A:Bnm (depths in nm)";
    SheetRange parsed;
    if (std::string reason = parseCount(parts[0], "FIRST", parsed.first); !reason.empty())
        return reason;
    if (std::string reason = parseCount(parts[1], "LAST", parsed.last); !reason.empty())
        return reason;
    range = parsed;
    return {};
}

std::string parseCvSweep(std::string_view text, CvSweep& sweep)
{
    const std::vector<std::string_view> parts = splitAtColons(text);
    if (parts.size() != 3)
        return quoted(text) + " is not a sweep; use START:STOP:STEP (V)";
    CvSweep parsed;
    if (std::string reason = parseNamedNumber(parts[0], "START", parsed.start); !reason.empty())
        return reason;
    if (std::string reason = parseNamedNumber(parts[1], "STOP", parsed.stop); !reason.empty())
        return reason;
    if (std::string reason = parseNamedNumber(parts[2], "STEP", parsed.step); !reason.empty())
        return reason;
    if (!(parsed.step > 0.0))
        return "STEP must be greater than 0, not " + quoted(parts[2]);
    sweep = parsed;
    return {};
}

long long countCvBiases(double V0, const CvSweep& sweep, long long limit)
{
    return tervane::countCvBiases(V0, sweep.start, sweep.stop, sweep.step, limit);
}

void applyContact(const std::optional<ContactChoice>& choice, ContactKind& contact, double& barrier)
{
    if (!choice)
        return;
    contact = choice->fixed ? ContactKind::Fixed : ContactKind::Neutral;
    if (choice->fixed)
        barrier = choice->barrier;
}

} // namespace tervane::cli
