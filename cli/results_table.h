#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "engine/sweep.h"
#include "engine/sweep_point.h"
#include "io/io_result.h"

namespace tervane::cli {

// A sweep's results file (results.csv):
//
//   # tervane sweep 1f0c6a3e9b2d4c71, 200 points     the sweep's key and its number of points
//   point,x,d,ns,E0,status,message                    the columns: parameters, figures, status, message
//   0,0.15,100,4.0712e+12,-0.0401,ok,
//
// one row per finished point, in the order the points finished (point order once the run is complete).
// Numbers are written in their shortest form that reads back to the same double, so a point's row is
// the same text whichever run, job or shard computed it; a figure without a value is an empty field;
// the message is quoted when it is not empty.

// The first two lines of the file, each ending in a line break.
std::string resultsHeader(const std::string& key, long long pointCount, const Sweep& sweep);

// One row, ending in a line break.
std::string resultsRow(const SweepPointResult& result);

// A results file read back: its first two lines and its complete rows by point index.
struct ResultsTable {
    std::string header; // the first two lines, line breaks included
    std::string key;
    long long pointCount = 0;
    std::map<long long, std::string> rows; // each row's text with its line break
    // Bytes up to the end of the last complete line: a run killed while writing a row leaves a part of
    // a line after it, which a resumed run cuts off.
    std::size_t completeBytes = 0;
};

// Reads a results file. Refuses, naming the file and line, a file that is not a results table, a row
// whose point is out of range and a point with two different rows.
IoResult readResultsTable(const std::string& path, ResultsTable& table);

// The header and every row in point order.
std::string resultsText(const ResultsTable& table);

// "3, 7-9, 12": point indices as ranges, at most `limit` of them before "...".
std::string pointList(const std::vector<long long>& points, std::size_t limit = 20);

} // namespace tervane::cli
