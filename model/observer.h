#pragma once

#include <string>
#include <vector>

namespace tervane {

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
