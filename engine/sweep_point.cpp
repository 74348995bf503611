#include "engine/sweep_point.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <utility>

#include "engine/document.h"
#include "engine/solve_driver.h"
#include "model/constants.h"
#include "model/observer.h"

namespace tervane {

namespace {

constexpr double notAvailable = std::numeric_limits<double>::quiet_NaN();

// Sets one parameter; false with the reason when the structure has no such layer.
bool applyParameter(Document& document, const SweepParameter& parameter, double value, std::string& reason)
{
    switch (parameter.target) {
    case SweepTarget::LeftBarrier:
        document.grid.leftContact = ContactKind::Fixed;
        document.grid.leftBarrier = value;
        return true;
    case SweepTarget::RightBarrier:
        document.grid.rightContact = ContactKind::Fixed;
        document.grid.rightBarrier = value;
        return true;
    case SweepTarget::Temperature:
        document.temperature = value;
        for (Layer& layer : document.layers)
            layer.Tn = layer.Tp = Quadratic(value, 0.0, 0.0);
        return true;
    default:
        break;
    }
    if (parameter.layer >= document.layers.size()) {
        reason = "parameter \"" + parameter.name + "\": the structure has no layer " +
                 std::to_string(parameter.layer);
        return false;
    }
    Layer& layer = document.layers[parameter.layer];
    switch (parameter.target) {
    case SweepTarget::LayerThickness:
        layer.thickness = value * metresPerAngstrom;
        break;
    case SweepTarget::LayerDx:
        layer.dx = value * metresPerAngstrom;
        break;
    case SweepTarget::LayerComposition:
        layer.composition.a = value;
        break;
    case SweepTarget::LayerNd:
        layer.Nd = value * perCubicMetrePerPerCubicCm;
        break;
    case SweepTarget::LayerNa:
        layer.Na = value * perCubicMetrePerPerCubicCm;
        break;
    case SweepTarget::LayerNdd:
        layer.Ndd = value * perCubicMetrePerPerCubicCm;
        break;
    case SweepTarget::LayerNda:
        layer.Nda = value * perCubicMetrePerPerCubicCm;
        break;
    default:
        break;
    }
    return true;
}

// Depth of a layer's left edge, m.
double layerStart(const Document& document, std::size_t layer)
{
    double depth = 0.0;
    for (std::size_t k = 0; k < layer && k < document.layers.size(); ++k)
        depth += document.layers[k].thickness;
    return depth;
}

// A band edge at `depth`, linear between the grid points around it; NaN outside the grid.
double edgeAt(const Document& document, double depth, bool conduction)
{
    const Grid& grid = document.grid;
    const auto edge = [&](int i) {
        return conduction ? grid.point(i).conductionEdge() : grid.point(i).valenceEdge();
    };
    double x = 0.0;
    for (int i = 0; i + 1 < grid.count; ++i) {
        const double step = grid.dx[static_cast<std::size_t>(i)];
        if (depth >= x && depth <= x + step) {
            const double t = step > 0.0 ? (depth - x) / step : 0.0;
            return edge(i) + t * (edge(i + 1) - edge(i));
        }
        x += step;
    }
    return notAvailable;
}

// The index-th lowest state of the figure's carrier whose peak lies in its window (any peak when the
// window is empty).
double subbandEnergy(const Document& document, const SweepFigure& figure)
{
    const bool windowed = figure.to > figure.from;
    std::vector<double> energies;
    for (const Subband& subband : document.subbands)
        if (subband.carrier == figure.carrier &&
            (!windowed || (subband.peak >= figure.from && subband.peak <= figure.to)))
            energies.push_back(subband.energy);
    std::sort(energies.begin(), energies.end());
    const auto index = static_cast<std::size_t>(figure.index);
    return index < energies.size() ? energies[index] : notAvailable;
}

double figureValue(Document& document, const SweepFigure& figure, double solveSeconds)
{
    switch (figure.kind) {
    case SweepFigureKind::SheetDensity:
        setChargeRangeByDepth(document, figure.from, figure.to);
        return document.sheetCharge;
    case SweepFigureKind::LayerSheetDensity: {
        if (figure.layer >= document.layers.size())
            return notAvailable;
        const double from = layerStart(document, figure.layer);
        setChargeRangeByDepth(document, from, from + document.layers[figure.layer].thickness);
        return document.sheetCharge;
    }
    case SweepFigureKind::Subband:
        return subbandEnergy(document, figure);
    case SweepFigureKind::ConductionEdge:
        return edgeAt(document, figure.depth, true);
    case SweepFigureKind::ValenceEdge:
        return edgeAt(document, figure.depth, false);
    case SweepFigureKind::Passes:
        return document.iterations;
    case SweepFigureKind::Converged:
        return document.converged ? 1.0 : 0.0;
    case SweepFigureKind::SolveTime:
        return solveSeconds;
    }
    return notAvailable;
}

std::string joined(const std::vector<std::string>& messages)
{
    std::string text;
    for (std::string message : messages) {
        while (!message.empty() && (message.back() == '\n' || message.back() == ' '))
            message.pop_back();
        if (message.empty())
            continue;
        if (!text.empty())
            text += "; ";
        text += message;
    }
    return text;
}

} // namespace

const char* sweepPointStatusName(SweepPointStatus status)
{
    switch (status) {
    case SweepPointStatus::Ok:
        return "ok";
    case SweepPointStatus::NotConverged:
        return "not-converged";
    case SweepPointStatus::Failed:
        break;
    }
    return "failed";
}

SweepPointResult evaluateSweepPoint(const Document& base, const Sweep& sweep, long long index,
                                    Document* solved)
{
    SweepPointResult result;
    result.index = index;
    result.parameters = sweepPointValues(sweep, index);
    result.figures.assign(sweep.figures.size(), notAvailable);

    Document document = base;
    for (std::size_t k = 0; k < sweep.parameters.size(); ++k) {
        std::string reason;
        if (!applyParameter(document, sweep.parameters[k], result.parameters[k], reason)) {
            result.status = SweepPointStatus::Failed;
            result.message = reason;
            return result;
        }
    }

    CollectingObserver observer;
    const auto start = std::chrono::steady_clock::now();
    const bool solvedToEnd = solve(document, observer);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;

    if (!solvedToEnd) {
        result.status = SweepPointStatus::Failed;
        result.message = joined(observer.messages);
        if (result.message.empty())
            result.message = "the solve stopped";
    } else {
        if (!document.converged) {
            result.status = SweepPointStatus::NotConverged;
            observer.messages.push_back(notConvergedText(document));
        }
        result.message = joined(observer.messages);
        for (std::size_t k = 0; k < sweep.figures.size(); ++k)
            result.figures[k] = figureValue(document, sweep.figures[k], elapsed.count());
    }
    if (solved)
        *solved = std::move(document);
    return result;
}

} // namespace tervane
