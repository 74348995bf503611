#pragma once

#include <string>
#include <vector>

namespace tervane {

// Where a solve is at one of its progress points.
struct SolveProgress {
    enum class Phase { Classical, Schroedinger, Bias };
    Phase phase = Phase::Classical;
    int step = 0;       // classical steps, Schroedinger passes or biases done so far
    double error = 0.0; // the last Poisson update, V (Bias: the bias, eV, relative to the contact's own)
    int total = 0;      // Bias: the number of biases of the sweep; otherwise 0
};

// How the core talks to whoever drives it. The core never shows anything and never exits: the GUI
// turns messages into message boxes, the command-line tool into lines on standard error.
class Observer {
  public:
    virtual ~Observer() = default;
    // A user-facing message with its exact text ("Material not found!", "error in matrix solver\n").
    virtual void message(const std::string& text) = 0;
    // "Repaint all views now": every fifth classical step, after every Schroedinger pass, after every
    // C-V bias.
    virtual void progress() {}
    // The same points with where the solve is; by default just progress().
    virtual void progressAt(const SolveProgress& where)
    {
        (void)where;
        progress();
    }
    // Asked at every progress point and between classical steps: true ends the solve there, as a
    // solve that failed (returns false, says nothing). Called on the solving thread.
    virtual bool stopRequested() { return false; }
    // "Update all views": the end of a solve.
    virtual void updateAll() {}
};

// Keeps the messages; for tests, the command-line tool and callers that report afterwards.
class CollectingObserver : public Observer {
  public:
    std::vector<std::string> messages;
    int progressCount = 0;
    int updateCount = 0;

    void message(const std::string& text) override { messages.push_back(text); }
    void progress() override { ++progressCount; }
    void updateAll() override { ++updateCount; }
};

} // namespace tervane
