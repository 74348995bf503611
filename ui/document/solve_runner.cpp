#include "ui/document/solve_runner.h"

#include "engine/cv_profile.h"
#include "engine/solve_driver.h"

// The worker's observer: keeps the messages for the result, leaves the latest progress for the owner's
// thread and tells the engine when the job was dropped.
class SolveRunner::WorkerObserver : public tervane::Observer {
  public:
    WorkerObserver(SolveRunner& runner, Job job, unsigned serial)
        : runner_(runner), job_(job), serial_(serial)
    {
    }
    std::vector<std::string> messages;

    void message(const std::string& text) override { messages.push_back(text); }
    void progressAt(const tervane::SolveProgress& where) override
    {
        const std::lock_guard lock(runner_.mutex_);
        runner_.progress_ = Progress{where, job_, serial_};
    }
    bool stopRequested() override
    {
        const std::lock_guard lock(runner_.mutex_);
        return runner_.stopRunning_;
    }

  private:
    SolveRunner& runner_;
    Job job_;
    unsigned serial_;
};

SolveRunner::SolveRunner(QObject* parent) : QObject(parent), worker_([this] { work(); })
{
    poll_.setInterval(pollIntervalMs);
    connect(&poll_, &QTimer::timeout, this, &SolveRunner::poll);
}

SolveRunner::~SolveRunner()
{
    {
        const std::lock_guard lock(mutex_);
        quit_ = true;
        stopRunning_ = true;
        waiting_.reset();
    }
    wake_.notify_all();
    worker_.join();
}

void SolveRunner::start(tervane::Document input, Job job, CvRequest cv, bool boundStates)
{
    {
        const std::lock_guard lock(mutex_);
        waiting_ = Request{job, std::move(input), std::move(cv), boundStates, ++latestSerial_};
        finished_.reset();
        if (running_)
            stopRunning_ = true;
    }
    wake_.notify_all();
    poll_.start();
}

bool SolveRunner::stop()
{
    const std::lock_guard lock(mutex_);
    const bool had = running_ || waiting_ || finished_;
    waiting_.reset();
    finished_.reset();
    ++latestSerial_;
    if (running_)
        stopRunning_ = true;
    return had;
}

bool SolveRunner::busy() const
{
    const std::lock_guard lock(mutex_);
    return (running_ && !stopRunning_) || waiting_ || finished_;
}

void SolveRunner::wait()
{
    {
        std::unique_lock lock(mutex_);
        idle_.wait(lock, [this] { return !running_ && !waiting_; });
    }
    deliver();
}

void SolveRunner::work()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return quit_ || waiting_; });
        if (quit_)
            return;
        Request request = std::move(*waiting_);
        waiting_.reset();
        running_ = true;
        stopRunning_ = false;
        lock.unlock();

        Result result;
        run(request, result);

        lock.lock();
        running_ = false;
        // A job that was asked to stop, or that a newer one replaced, leaves no result.
        if (!stopRunning_ && !waiting_)
            finished_ = std::move(result);
        stopRunning_ = false;
        idle_.notify_all();
    }
}

void SolveRunner::run(Request& request, Result& result)
{
    WorkerObserver observer(*this, request.job, request.serial);
    result.job = request.job;
    if (request.job == Job::CvProfile)
        result.ok = tervane::runCvProfile(request.document, request.cv.start, request.cv.stop,
                                          request.cv.step, request.cv.outputPath, observer);
    else
        result.ok = tervane::solve(request.document, observer);
    if (request.boundStates && request.document.schroedingerOn && request.document.grid.count >= 3 &&
        !observer.stopRequested())
        result.boundStates = tervane::boundStateCurves(request.document, observer);
    result.document = std::move(request.document);
    result.messages = std::move(observer.messages);
}

void SolveRunner::deliver()
{
    std::optional<Result> result;
    {
        const std::lock_guard lock(mutex_);
        result.swap(finished_);
        if (result)
            progress_.reset(); // what the finished job reported is over
    }
    if (result && resultHandler_)
        resultHandler_(std::move(*result));
}

void SolveRunner::poll()
{
    std::optional<Progress> progress;
    bool idle = false;
    {
        const std::lock_guard lock(mutex_);
        progress.swap(progress_);
        // Progress of a job that was dropped since is not shown.
        if (progress && (progress->serial != latestSerial_ || stopRunning_))
            progress.reset();
        idle = !running_ && !waiting_;
    }
    if (progress && progressHandler_)
        progressHandler_(progress->where, progress->job);
    deliver();
    if (idle)
        poll_.stop();
}
