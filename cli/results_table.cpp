#include "cli/results_table.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "io/file_util.h"

namespace tervane::cli {

namespace {

constexpr std::string_view keyPrefix = "# tervane sweep ";

void appendNumber(std::string& out, double value)
{
    if (!std::isfinite(value))
        return;
    char buffer[64];
    const std::to_chars_result written = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, written.ptr);
}

void appendQuoted(std::string& out, const std::string& text)
{
    if (text.empty())
        return;
    out += '"';
    for (const char ch : text) {
        if (ch == '"')
            out += '"';
        out += ch == '\n' || ch == '\r' ? ' ' : ch;
    }
    out += '"';
}

// "# tervane sweep KEY, N points" into key and count; false for any other line.
bool parseKeyLine(std::string_view line, std::string& key, long long& count)
{
    if (line.substr(0, keyPrefix.size()) != keyPrefix)
        return false;
    line.remove_prefix(keyPrefix.size());
    const std::size_t comma = line.find(", ");
    if (comma == std::string_view::npos || line.substr(line.size() - 7) != " points")
        return false;
    key = std::string(line.substr(0, comma));
    const std::string_view digits = line.substr(comma + 2, line.size() - 7 - comma - 2);
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), count);
    return error == std::errc{} && end == digits.data() + digits.size() && count >= 0;
}

} // namespace

std::string resultsHeader(const std::string& key, long long pointCount, const Sweep& sweep)
{
    std::string text = std::string(keyPrefix) + key + ", " + std::to_string(pointCount) + " points\npoint";
    for (const SweepParameter& parameter : sweep.parameters)
        text += "," + parameter.name;
    for (const SweepFigure& figure : sweep.figures)
        text += "," + figure.name;
    text += ",status,message\n";
    return text;
}

std::string resultsRow(const SweepPointResult& result)
{
    std::string row = std::to_string(result.index);
    for (const double value : result.parameters) {
        row += ',';
        appendNumber(row, value);
    }
    for (const double value : result.figures) {
        row += ',';
        appendNumber(row, value);
    }
    row += ',';
    row += sweepPointStatusName(result.status);
    row += ',';
    appendQuoted(row, result.message);
    row += '\n';
    return row;
}

IoResult readResultsTable(const std::string& path, ResultsTable& table)
{
    std::string bytes;
    if (IoResult result = readWholeFile(path, bytes); !result)
        return result;
    ResultsTable read;
    const std::string_view text(bytes);
    const std::size_t firstEnd = text.find('\n');
    const std::size_t secondEnd =
        firstEnd == std::string_view::npos ? firstEnd : text.find('\n', firstEnd + 1);
    if (secondEnd == std::string_view::npos ||
        !parseKeyLine(text.substr(0, firstEnd), read.key, read.pointCount))
        return IoResult::failure(path + " is not a results table of tervane-cli sweep (its first line is not "
                                        "\"# tervane sweep KEY, N points\" followed by the column names)");
    read.header = std::string(text.substr(0, secondEnd + 1));
    std::size_t start = secondEnd + 1;
    long long lineNumber = 2;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            break;
        ++lineNumber;
        const std::string_view line = text.substr(start, end + 1 - start);
        long long point = -1;
        const auto [stop, error] = std::from_chars(line.data(), line.data() + line.size(), point);
        if (error != std::errc{} || *stop != ',' || point < 0 || point >= read.pointCount)
            return IoResult::failure(path + ", line " + std::to_string(lineNumber) +
                                     ": not a row of this table (a point index from 0 to " +
                                     std::to_string(read.pointCount - 1) + ", then a comma)");
        const auto [row, isNew] = read.rows.emplace(point, std::string(line));
        if (!isNew && row->second != line)
            return IoResult::failure(path + ", line " + std::to_string(lineNumber) + ": point " +
                                     std::to_string(point) + " has a second row with other values");
        start = end + 1;
    }
    read.completeBytes = start;
    table = std::move(read);
    return IoResult::success();
}

std::string resultsText(const ResultsTable& table)
{
    std::string text = table.header;
    for (const auto& [point, row] : table.rows)
        text += row;
    return text;
}

std::string pointList(const std::vector<long long>& points, std::size_t limit)
{
    std::string text;
    std::size_t ranges = 0;
    for (std::size_t k = 0; k < points.size();) {
        std::size_t last = k;
        while (last + 1 < points.size() && points[last + 1] == points[last] + 1)
            ++last;
        if (ranges == limit) {
            text += ", ...";
            break;
        }
        text += (text.empty() ? "" : ", ") + std::to_string(points[k]);
        if (last > k)
            text += "-" + std::to_string(points[last]);
        ++ranges;
        k = last + 1;
    }
    return text;
}

} // namespace tervane::cli
