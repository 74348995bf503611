#include "engine/schroedinger.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

#include "engine/bound_states.h"
#include "engine/eigenpair_tracking.h"
#include "engine/eigenstate_dump.h"
#include "engine/grid.h"
#include "model/observer.h"

namespace tervane {

namespace {

// Work arrays of a pass, per point: matrix diagonals and weights, energies, the eigen-solver's work
// space (about 30 doubles), densities, occupation runs, the remembered potential and the file
// writer's gather block (16 doubles); about 55 doubles in all, counted with a margin.
constexpr double workBytesPerPoint = 64 * sizeof(double);
constexpr double bytesPerMiB = 1024.0 * 1024.0;
// States an accelerated pass has room for beyond those needed at the start: those followed beyond
// the needed ones, and more needed as the potential moves.
constexpr int acceleratedMargin = 64;
// A region edge where the lowest state keeps more than this share of its peak density cuts the state.
constexpr double maximumEdgeShare = 1e-6;
// A control-group limit at or above this is "no limit".
constexpr double unlimitedBytes = 4.0e18;

// First number in a file, or a negative value.
double numberInFile(const char* path)
{
    std::ifstream in(path);
    double value = -1.0;
    if (!(in >> value))
        return -1.0;
    return value;
}

double memAvailable()
{
    std::ifstream in("/proc/meminfo");
    std::string key;
    double kibibytes = 0.0;
    std::string unit;
    while (in >> key >> kibibytes) {
        std::getline(in, unit);
        if (key == "MemAvailable:")
            return kibibytes * 1024.0;
    }
    const long pages = sysconf(_SC_AVPHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageSize > 0)
        return static_cast<double>(pages) * static_cast<double>(pageSize);
    return -1.0;
}

// Headroom under this process's control-group memory limit (version 2, then version 1), or a negative
// value when there is no limit.
double controlGroupHeadroom()
{
    const double limit2 = numberInFile("/sys/fs/cgroup/memory.max"); // "max" reads as no number
    if (limit2 > 0.0 && limit2 < unlimitedBytes)
        return limit2 - std::max(0.0, numberInFile("/sys/fs/cgroup/memory.current"));
    const double limit1 = numberInFile("/sys/fs/cgroup/memory/memory.limit_in_bytes");
    if (limit1 > 0.0 && limit1 < unlimitedBytes)
        return limit1 - std::max(0.0, numberInFile("/sys/fs/cgroup/memory/memory.usage_in_bytes"));
    return -1.0;
}

// The re-solves of finish() repeat a pass whose messages were already given.
class SilentObserver : public Observer {
  public:
    void message(const std::string&) override {}
};

const char* dumpFileOf(Carrier kind)
{
    switch (kind) {
    case Carrier::Electron:
        return electronStatesFile;
    case Carrier::LightHole:
        return lightHoleStatesFile;
    case Carrier::HeavyHole:
        break;
    }
    return heavyHoleStatesFile;
}

} // namespace

double schroedingerMemoryNeed(int N, EigenSolverKind solver, int states)
{
    const bool dense = solver == EigenSolverKind::Dense;
    const double table = EigenSolution::tableBytes(N, dense ? N : states);
    const double matrix = dense ? table : 0.0;
    return table + matrix + workBytesPerPoint * N;
}

double availableMemory()
{
    const double available = memAvailable();
    const double headroom = controlGroupHeadroom();
    if (headroom >= 0.0 && (available < 0.0 || headroom < available))
        return headroom;
    return available;
}

struct SchroedingerPhase::Impl {
    Impl(Grid& g, const SchroedingerSettings& s, Observer& o) : full(g), grid(&g), settings(s), observer(o) {}

    Grid& full;
    // The points the states are solved on: the whole grid, or a copy of the quantum region's points
    // (`first` on), refreshed from the whole grid at every pass.
    Grid region;
    Grid* grid;
    int first = 0;
    double originX = 0.0; // m, depth of the region's first point
    // The largest share of its peak that the lowest state of a kind keeps at an edge of the region, and
    // the depth of that edge (m).
    double edgeShare = 0.0;
    double edgeX = 0.0;

    // Notes how much of the lowest state of `states` (when it holds state 0) reaches the region's edges.
    void measureEdges(const EigenSolution& states)
    {
        if (grid == &full || states.first != 0 || states.withVectors < 1 || states.returned < 1)
            return;
        const double* psi = states.state(0);
        const std::size_t last = region.points.size() - 1;
        double peak = 0.0;
        for (std::size_t i = 0; i <= last; ++i)
            peak = std::max(peak, psi[i] * psi[i]);
        if (!(peak > 0.0))
            return;
        double width = 0.0;
        for (const double step : region.dx)
            width += step;
        for (const auto& [i, x] : {std::pair{std::size_t{0}, originX}, std::pair{last, originX + width}}) {
            const double share = psi[i] * psi[i] / peak;
            if (share > edgeShare) {
                edgeShare = share;
                edgeX = x;
            }
        }
    }
    SchroedingerSettings settings;
    Observer& observer;
    std::unique_ptr<EigenSolution> solution;
    std::vector<double> holeDensity;
    std::vector<double> passPhi; // phi of every point when the last pass began
    int passes = 0;
    // What the last pass did: which kinds it had files for, which it solved for states (a hole kind
    // without any holes is not), and which kind the table holds now.
    bool passValence = false;
    bool solvedInPass[3] = {false, false, false};
    Carrier inTable = Carrier::Electron;
    EigenpairTrack tracks[3];
    SubbandDensity subbands;
    std::vector<Subband> levels;

    bool accelerated() const { return settings.selfConsistency == SelfConsistency::Accelerated; }

    std::string dumpPath(Carrier kind) const
    {
        if (settings.dumpDirectory.empty())
            return dumpFileOf(kind);
        return (std::filesystem::path(settings.dumpDirectory) / dumpFileOf(kind)).string();
    }

    std::vector<int> solveStates(Carrier kind, Observer& to, StateScope scope)
    {
        // A pass follows the kind's states from the last pass only while the table still holds them.
        EigenpairTrack& track = tracks[static_cast<int>(kind)];
        if (inTable != kind)
            track.clear();
        EigenpairTrack* follow = scope != StateScope::All ? &track : nullptr;
        if (kind == Carrier::Electron)
            return solveElectronStates(*grid, *solution, settings.eigenSolver, to, scope, follow);
        return solveHoleStates(*grid, *solution, kind, settings.eigenSolver, to, scope, follow);
    }

    // Points the quantum region's depths cover; false (after saying why) when fewer than 3.
    bool restrictToRegion()
    {
        constexpr double slack = 1e-15; // m
        int last = -1;
        first = full.count;
        double x = 0.0;
        for (int i = 0; i < full.count; ++i) {
            if (x >= settings.quantumFrom - slack && x <= settings.quantumTo + slack) {
                first = std::min(first, i);
                last = i;
            }
            if (i + 1 < full.count)
                x += full.dx[static_cast<std::size_t>(i)];
        }
        if (last - first + 1 < 3) {
            char text[200];
            std::snprintf(
                text, sizeof text,
                "The quantum region %g to %g nm holds fewer than 3 grid points; the bound states are "
                "not solved and the classical solution is kept.",
                settings.quantumFrom * 1e9, settings.quantumTo * 1e9);
            observer.message(text);
            return false;
        }
        originX = 0.0;
        for (int i = 0; i < first; ++i)
            originX += full.dx[static_cast<std::size_t>(i)];
        full.quantumFirst = first;
        full.quantumLast = last;
        const auto from = static_cast<std::size_t>(first);
        const auto to = static_cast<std::size_t>(last);
        region.reset(last - first + 1);
        region.dx.assign(full.dx.begin() + static_cast<std::ptrdiff_t>(from),
                         full.dx.begin() + static_cast<std::ptrdiff_t>(to));
        region.eps.assign(full.eps.begin() + static_cast<std::ptrdiff_t>(from),
                          full.eps.begin() + static_cast<std::ptrdiff_t>(to));
        grid = &region;
        return true;
    }

    // The region's points as the whole grid has them now.
    void refreshRegion()
    {
        if (grid == &full)
            return;
        for (std::size_t i = 0; i < region.points.size(); ++i)
            region.points[i] = full.points[i + static_cast<std::size_t>(first)];
    }

    // The bound-state densities of the region's points back into the whole grid.
    void returnDensities()
    {
        if (grid == &full)
            return;
        for (std::size_t i = 0; i < region.points.size(); ++i) {
            GridPoint& p = full.points[i + static_cast<std::size_t>(first)];
            p.nBound = region.points[i].nBound;
            p.pBound = region.points[i].pBound;
        }
    }

    // The states of an alternating pass: from the whole spectrum, psi only for those that can hold
    // carriers or be bound (the files of finish() have every state). Returns the bound electron states.
    std::vector<int> alternatingStates(bool valence)
    {
        const std::vector<int> electrons = solveStates(Carrier::Electron, observer, StateScope::Needed);
        electronDensityFromStates(*grid, *solution);
        measureEdges(*solution);
        appendSubbands(*grid, *solution, Carrier::Electron, electrons, levels);
        solvedInPass[0] = true;
        solvedInPass[1] = solvedInPass[2] = false;
        inTable = Carrier::Electron;
        if (valence) {
            // Light holes, then heavy holes on top, in one sum. A kind whose levels all lie far beyond
            // every quasi-Fermi level adds exactly zero and is not solved for states (the dense solver,
            // kept as the reference, always solves).
            holeDensity.assign(static_cast<std::size_t>(grid->count), 0.0);
            for (const Carrier kind : {Carrier::LightHole, Carrier::HeavyHole}) {
                if (settings.eigenSolver == EigenSolverKind::Tridiagonal && !holeStatesOccupied(*grid, kind))
                    continue;
                const std::vector<int> holes = solveStates(kind, observer, StateScope::Needed);
                measureEdges(*solution);
                appendSubbands(*grid, *solution, kind, holes, levels);
                addHoleDensityFromStates(*grid, *solution, kind, holeDensity);
                solvedInPass[static_cast<int>(kind)] = true;
                inTable = kind;
            }
            holeDensityFromStates(*grid, holeDensity);
        }
        return electrons;
    }

    // The states of an accelerated pass: the needed ones alone, a block of vectors at a time, each
    // block's densities, levels and predicted densities taken before the next. Returns the bound
    // electron states.
    std::vector<int> acceleratedStates(bool valence)
    {
        subbands.begin(*grid, first);
        // The needed states alone, followed from the last pass when they can be.
        const auto solveInto = [&](Carrier kind, std::vector<double>& density) {
            const StateScope scope =
                settings.eigenSolver == EigenSolverKind::Dense ? StateScope::All : StateScope::Lowest;
            const std::vector<int> bound = solveStates(kind, observer, scope);
            addStateDensity(*grid, *solution, kind, density);
            measureEdges(*solution);
            appendSubbands(*grid, *solution, kind, bound, levels);
            subbands.add(*grid, *solution, kind);
            return bound;
        };
        const auto n = static_cast<std::size_t>(grid->count);
        std::vector<double> electronDensity(n, 0.0);
        const std::vector<int> electrons = solveInto(Carrier::Electron, electronDensity);
        for (std::size_t i = 0; i < n; ++i)
            grid->points[i].nBound = electronDensity[i];
        solvedInPass[0] = true;
        solvedInPass[1] = solvedInPass[2] = false;
        inTable = Carrier::Electron;
        if (valence) {
            holeDensity.assign(n, 0.0);
            for (const Carrier kind : {Carrier::LightHole, Carrier::HeavyHole}) {
                if (!holeStatesOccupied(*grid, kind))
                    continue;
                solveInto(kind, holeDensity);
                solvedInPass[static_cast<int>(kind)] = true;
                inTable = kind;
            }
            holeDensityFromStates(*grid, holeDensity);
        }
        subbands.seal(*grid, valence);
        return electrons;
    }

    void swapPassPotential()
    {
        for (std::size_t i = 0; i < passPhi.size(); ++i)
            std::swap(grid->points[i].phi, passPhi[i]);
    }
};

SchroedingerPhase::SchroedingerPhase(Grid& grid, const SchroedingerSettings& settings, Observer& observer)
    : impl_(std::make_unique<Impl>(grid, settings, observer))
{
}

SchroedingerPhase::~SchroedingerPhase() = default;

bool SchroedingerPhase::prepare(bool valence)
{
    Impl& s = *impl_;
    if (s.settings.quantumRegion && !s.restrictToRegion())
        return false;
    const int N = s.grid->count;
    if (N < 3)
        return false;
    // The table keeps the states a pass needs (with a margin for the potential to come and for the
    // followed states), or every state for the eigenstate files.
    // The eigenstate files are written a block of states at a time, so they need no more (only the
    // dense solver, the reference, keeps every state).
    int states = N;
    if (s.settings.eigenSolver == EigenSolverKind::Dense) {
        states = N;
    } else if (s.accelerated()) {
        // The needed states and those followed beyond them, with a margin for the potential to come.
        int needed = neededStates(*s.grid, Carrier::Electron);
        if (valence)
            for (const Carrier kind : {Carrier::LightHole, Carrier::HeavyHole})
                needed = std::max(needed, neededStates(*s.grid, kind));
        states = std::min(N, needed + acceleratedMargin);
    } else {
        int needed = neededStates(*s.grid, Carrier::Electron);
        if (valence)
            for (const Carrier kind : {Carrier::LightHole, Carrier::HeavyHole})
                needed = std::max(needed, neededStates(*s.grid, kind));
        states = std::min(N, 2 * needed + 64);
    }
    const double need = schroedingerMemoryNeed(N, s.settings.eigenSolver, states);
    const double available = availableMemory();
    const auto refuse = [&](double availableBytes) {
        char text[320];
        if (availableBytes >= 0.0)
            std::snprintf(
                text, sizeof text,
                "Not enough memory for the Schroedinger solver: %d grid points need %.0f MiB, %.0f MiB "
                "are available. The classical solution is kept; use a larger dx.",
                N, need / bytesPerMiB, availableBytes / bytesPerMiB);
        else
            std::snprintf(text, sizeof text,
                          "Not enough memory for the Schroedinger solver: %d grid points need %.0f MiB. The "
                          "classical solution is kept; use a larger dx.",
                          N, need / bytesPerMiB);
        s.observer.message(text);
        return false;
    };
    if (available >= 0.0 && need > available)
        return refuse(available);
    try {
        s.solution = std::make_unique<EigenSolution>(N);
        s.solution->table(std::min(states, N));
        s.holeDensity.reserve(static_cast<std::size_t>(N));
        s.passPhi.reserve(static_cast<std::size_t>(N));
    } catch (const std::bad_alloc&) {
        s.solution.reset();
        return refuse(-1.0);
    }
    s.passes = 0;
    return true;
}

int SchroedingerPhase::pass(bool valence)
{
    Impl& s = *impl_;
    if (!s.solution)
        return 0;
    s.refreshRegion();
    Grid& grid = *s.grid;

    s.passPhi.resize(grid.points.size());
    for (std::size_t i = 0; i < grid.points.size(); ++i)
        s.passPhi[i] = grid.points[i].phi;

    s.levels.clear();
    s.edgeShare = 0.0;
    const std::vector<int> electrons =
        s.accelerated() ? s.acceleratedStates(valence) : s.alternatingStates(valence);
    s.returnDensities();
    for (Subband& level : s.levels)
        level.peak += s.originX;
    s.passValence = valence;
    ++s.passes;
    return static_cast<int>(electrons.size());
}

const std::vector<Subband>& SchroedingerPhase::levels() const
{
    return impl_->levels;
}

const SubbandDensity& SchroedingerPhase::subbands() const
{
    return impl_->subbands;
}

void SchroedingerPhase::finish()
{
    Impl& s = *impl_;
    if (s.edgeShare > maximumEdgeShare) {
        char text[300];
        std::snprintf(
            text, sizeof text,
            "The quantum region cuts through a bound state: at its edge at %.4g nm the lowest state "
            "keeps %.2g of its peak density (more than %g); widen the region.",
            s.edgeX * 1e9, s.edgeShare, maximumEdgeShare);
        s.observer.message(text);
    }
    if (!s.solution || s.passes == 0 || !s.settings.eigenstateFiles) {
        s.solution.reset();
        return;
    }
    // The files are those the last pass would have written, with every state. The kind still in the
    // table is written as it is when the pass solved it for all states; the others, and that one when
    // it has only the needed states, are solved again from that pass's potential, put back in place of
    // the final one meanwhile, a block of states at a time straight into the file. A kind the pass
    // solved already said what there was to say about it.
    s.refreshRegion();
    const bool tableComplete = s.solution->withVectors == s.solution->size() && s.solution->first == 0;
    if (tableComplete)
        writeEigenStates(*s.grid, *s.solution, s.dumpPath(s.inTable), s.observer);
    SilentObserver silent;
    for (const Carrier kind : carriers) {
        if ((kind == s.inTable && tableComplete) || (kind != Carrier::Electron && !s.passValence))
            continue;
        Observer& to = s.solvedInPass[static_cast<int>(kind)] ? static_cast<Observer&>(silent) : s.observer;
        s.swapPassPotential();
        // A grid whose states fit one block is written from one table, as fast as it always was.
        if (s.settings.eigenSolver == EigenSolverKind::Dense || allStatesInOneBlock(s.grid->count)) {
            s.solveStates(kind, to, StateScope::All);
            s.swapPassPotential();
            writeEigenStates(*s.grid, *s.solution, s.dumpPath(kind), s.observer);
            continue;
        }
        EigenStateStream file(*s.grid, s.dumpPath(kind));
        s.tracks[static_cast<int>(kind)].clear();
        solveAllStatesInBlocks(*s.grid, *s.solution, kind, to,
                               [&file](const EigenSolution& block) { file.add(block); });
        s.swapPassPotential();
        file.finish(*s.solution, s.observer);
    }
    s.solution.reset();
}

} // namespace tervane
