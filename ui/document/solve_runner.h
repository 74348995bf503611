#pragma once

#include <QObject>
#include <QTimer>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "engine/bound_state_curves.h"
#include "engine/document.h"
#include "model/observer.h"

// Runs solves and C-V sweeps on one worker thread, each on its own copy of the document, so that the
// window's thread only hands work over and takes finished results back. The two threads share only
// the members under `mutex_`: the worker leaves its progress and its result there, and a timer on the
// owner's thread collects them while a job is under way.
//
// The latest request wins: starting a job while another runs asks the running one to stop and drops
// its result. Results and progress are delivered on the thread that owns the runner (the window's),
// through the handlers set below, never half: a delivered result is a whole solved document.
class SolveRunner : public QObject {
    Q_OBJECT

  public:
    struct CvRequest {
        double start = 0.0; // eV, relative to the contact's barrier
        double stop = 0.0;
        double step = 0.0;
        std::string outputPath;
    };
    enum class Job { Solve, CvProfile };
    struct Result {
        Job job = Job::Solve;
        tervane::Document document; // the copy, solved
        bool ok = false;            // what the solve or the sweep returned
        std::vector<std::string> messages;
        // With Request::boundStates and the Schroedinger switch, the confined states of the solution
        // for drawing, found on the worker too.
        std::vector<tervane::BoundStateCurve> boundStates;
    };

    explicit SolveRunner(QObject* parent = nullptr);
    ~SolveRunner() override;
    SolveRunner(const SolveRunner&) = delete;
    SolveRunner& operator=(const SolveRunner&) = delete;

    // Called on the owner's thread with each finished job's result, and with the progress of the
    // running job (at most every progressInterval).
    void setResultHandler(std::function<void(Result&&)> handler) { resultHandler_ = std::move(handler); }
    void setProgressHandler(std::function<void(const tervane::SolveProgress&, Job)> handler)
    {
        progressHandler_ = std::move(handler);
    }

    // Solves `input` on the worker (or sweeps its left bias), with `boundStates` finding the states
    // the band diagram draws; a job running or waiting is dropped.
    void start(tervane::Document input, Job job, CvRequest cv, bool boundStates);
    // Asks the running job to stop and drops it and any waiting one. True when there was one.
    bool stop();
    // A job is running (and not asked to stop) or waiting, or its result has not been delivered yet.
    bool busy() const;
    // Blocks until the worker has nothing left, then delivers the last result (if any) before it
    // returns. For commands that need the solution at once, and for tests.
    void wait();

    // How often the owner's thread looks for progress and a result while a job is under way.
    static constexpr int pollIntervalMs = 20;

  private:
    struct Request {
        Job job = Job::Solve;
        tervane::Document document;
        CvRequest cv;
        bool boundStates = false;
        unsigned serial = 0;
    };
    class WorkerObserver;
    void work();
    void run(Request& request, Result& result);
    void deliver();
    // The timer's tick: the latest progress of the current job, then its result when it is there.
    void poll();

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::optional<Request> waiting_;
    std::optional<Result> finished_;
    bool running_ = false;
    bool quit_ = false;
    bool stopRunning_ = false;  // read by the worker's observer
    unsigned latestSerial_ = 0; // of the job started last
    struct Progress {
        tervane::SolveProgress where;
        Job job = Job::Solve;
        unsigned serial = 0;
    };
    std::optional<Progress> progress_; // the latest, not yet shown
    QTimer poll_;
    std::function<void(Result&&)> resultHandler_;
    std::function<void(const tervane::SolveProgress&, Job)> progressHandler_;
    std::thread worker_;
};
