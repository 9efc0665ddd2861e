#include "engine/ParallelBatch.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "engine/AngleMemo.h"
#include "engine/RecordedConversion.h"

namespace s2t {
namespace {

// How long the caller's thread leaves a complete file waiting for others before it plays it.
constexpr std::chrono::microseconds kPlayerNap{1000};

// What the workers hand over for one file, waiting to be played back.
struct FileSlot {
    std::vector<RecordedStretch> ready;  // handed over, not yet taken by the caller's thread
    bool done = false;                   // the last stretch has been handed over
    bool abandoned = false;              // the output could not be created: nothing more is wanted
    bool read = false;                   // the reader succeeded, with these settings:
    double startAngle = 0.0;
    double inputStep = 0.0;
};

class ParallelBatch {
public:
    ParallelBatch(Session& session, Platform& platform, ProgressDisplay& progress, const BatchPlan& plan,
                  BatchSpline& calibrationSpline, std::size_t workers)
        : session_(session),
          platform_(platform),
          progress_(progress),
          plan_(plan),
          calibrationSpline_(calibrationSpline),
          window_(8 * workers),
          wakeAfter_(2 * workers),
          slots_(window_) {}

    // Lets the workers begin, once the state they read is ready.
    void start();
    void work();
    void playAll(BatchResult& result);

private:
    friend class SlotRecorder;
    friend struct Worker;
    FileSlot& slot(std::size_t k) { return slots_[k % window_]; }
    bool playerMayGo();
    void handOver(std::size_t k, RecordedStretch& stretch, bool last);
    void play(std::size_t k, BatchResult& result);
    // After a stop before file k: no file is started any more, and the records of the files
    // already started are dropped unplayed (their outputs never get a name).
    void dropFrom(std::size_t k);

    Session& session_;
    Platform& platform_;
    ProgressDisplay& progress_;
    const BatchPlan& plan_;
    BatchSpline& calibrationSpline_;
    const std::size_t window_;     // files in flight at most: started and not yet played back
    const std::size_t wakeAfter_;  // completed files the caller's thread is woken for (see playerMayGo)
    CalibrationState firstCalibration_;
    ConversionSettings batchSettings_;

    std::mutex mutex_;
    std::condition_variable playerWakes_;   // a file's slot has something to play
    std::condition_variable workersWake_;   // the batch started, the window moved, or a slot has room
    std::vector<FileSlot> slots_;  // file k in slot k % window_
    bool started_ = false;
    bool stopping_ = false;  // the user stopped the batch: workers start no further file
    std::size_t nextToStart_ = 0;
    std::size_t nextToPlay_ = 0;
    std::size_t completed_ = 0;  // files converted to the end and not yet played back
    bool playerAwake_ = false;   // the caller's thread has not waited since it was last woken
    std::string date_;
};

// A worker's recorder: hands full stretches of the file it converts to that file's slot.
class SlotRecorder : public ConversionRecorder {
public:
    SlotRecorder(ParallelBatch& batch) : batch_(batch) {}
    std::size_t file = 0;

protected:
    void stretchFull() override { batch_.handOver(file, stretch(), false); }

private:
    ParallelBatch& batch_;
};

// Whether the caller's thread has reason to play the next file now (the mutex held). Part of a
// large file is played at once, to free its room. Complete files are played a few at a time: each
// wake-up of the caller's thread takes a processor from a worker for a moment, and files take
// a fraction of a millisecond each (and a complete file waits at most kPlayerNap for company).
// Once awake, it plays every complete file there is; the last files of the batch are played as
// they come.
bool ParallelBatch::playerMayGo() {
    const FileSlot& s = slot(nextToPlay_);
    if (!s.done) return !s.ready.empty();
    return playerAwake_ || completed_ >= wakeAfter_ || nextToStart_ >= plan_.size();
}

void ParallelBatch::handOver(std::size_t k, RecordedStretch& stretch, bool last) {
    bool wake = false;
    {
        std::unique_lock lock(mutex_);
        FileSlot& s = slot(k);
        // A large output waits here until the caller's thread has caught up, so that no more
        // than about two stretches of a file are held at a time.
        if (!last) workersWake_.wait(lock, [&] { return s.ready.size() < 2 || s.abandoned; });
        if (!s.abandoned) s.ready.push_back(std::move(stretch));
        if (last) {
            s.done = true;
            ++completed_;
        }
        wake = playerMayGo();
    }
    if (wake) playerWakes_.notify_one();
    stretch.clear();
}

// What a worker converts with: it sees a recording platform, progress display and output target.
struct Worker {
    explicit Worker(ParallelBatch& batch)
        : batch(batch),
          recorder(batch),
          platform(recorder, batch.date_),
          progress(recorder, batch.progress_.showsAnything()),
          target(recorder, &batch.platform_.fileSystem()) {}

    void convert(std::size_t k) {
        recorder.file = k;
        ConversionRequest request = batch.plan_.request(k, &progress);
        request.outputTarget = &target;
        request.angleMemo = &angles;
        own.settings = batch.batchSettings_;
        // Nothing writes the calibration while the workers run.
        const CalibrationState& calibration = k == 0 ? batch.firstCalibration_ : batch.session_.calibration;

        Scan scan;
        const bool read = readAnyFile(request, scan, calibration, own.settings, platform) == 0;
        if (read) writeScan(request, scan, own, platform);
        {
            std::lock_guard lock(batch.mutex_);
            FileSlot& s = batch.slot(k);
            s.read = read;
            s.startAngle = own.settings.startAngle;
            s.inputStep = own.settings.inputStep;
        }
        batch.handOver(k, recorder.stretch(), true);
    }

    ParallelBatch& batch;
    SlotRecorder recorder;
    RecordingPlatform platform;
    RecordingProgress progress;
    RecordingOutputTarget target;
    Session own;  // the settings a file is converted with (the reader sets its start and step)
    AngleMemo angles;
};

void ParallelBatch::start() {
    {
        std::lock_guard lock(mutex_);
        date_ = platform_.dateText();
        // Both calibrations the files convert with, computed once here (see BatchSpline).
        calibrationSpline_.computeFor(0, session_.calibration);
        firstCalibration_ = session_.calibration;
        if (plan_.size() > 1) calibrationSpline_.computeFor(1, session_.calibration);
        batchSettings_ = session_.settings;
        started_ = true;
    }
    workersWake_.notify_all();
}

void ParallelBatch::work() {
    {
        std::unique_lock lock(mutex_);
        workersWake_.wait(lock, [&] { return started_; });
    }
    Worker worker(*this);
    for (;;) {
        std::size_t k = 0;
        {
            std::unique_lock lock(mutex_);
            workersWake_.wait(lock, [&] {
                return stopping_ || nextToStart_ >= plan_.size() || nextToStart_ < nextToPlay_ + window_;
            });
            if (stopping_ || nextToStart_ >= plan_.size()) return;
            k = nextToStart_++;
        }
        worker.convert(k);
    }
}

void ParallelBatch::play(std::size_t k, BatchResult& result) {
    progress_.setInputFile(plan_.inputPath(k));
    progress_.setFileCounter(plan_.counterText(k));
    calibrationSpline_.showFor(k, platform_);

    const ConversionRequest request = plan_.request(k, &progress_);
    ConversionPlayback playback(request.outputFile, platform_, &progress_, request.batchInputs);
    std::vector<RecordedStretch> taken;
    bool done = false;
    while (!done) {
        bool full = false;
        {
            std::unique_lock lock(mutex_);
            FileSlot& s = slot(k);
            if (!playerMayGo()) {
                playerAwake_ = false;
                // A complete file waits for company at most a moment: the files of a batch keep
                // appearing as they are done, not all at its end.
                while (!playerWakes_.wait_for(lock, kPlayerNap, [&] { return playerMayGo(); }) && !s.done &&
                       s.ready.empty()) {
                }
            }
            playerAwake_ = true;
            full = s.ready.size() >= 2;
            taken.swap(s.ready);
            done = s.done;
        }
        if (full) workersWake_.notify_all();  // the worker waits for room in this slot
        for (RecordedStretch& stretch : taken) {
            if (!playback.play(stretch, std::move(stretch.written))) {
                {
                    std::lock_guard lock(mutex_);
                    slot(k).abandoned = true;
                }
                workersWake_.notify_all();
            }
        }
        taken.clear();
    }

    std::lock_guard lock(mutex_);
    FileSlot& s = slot(k);
    if (s.read) {
        session_.settings.startAngle = s.startAngle;
        session_.settings.inputStep = s.inputStep;
    }
    if (playback.written())
        ++result.converted;
    else
        ++result.skipped;
    s = FileSlot{};
    --completed_;
    nextToPlay_ = k + 1;
}

void ParallelBatch::dropFrom(std::size_t k) {
    std::unique_lock lock(mutex_);
    stopping_ = true;
    for (; k < nextToStart_; ++k) {
        FileSlot& s = slot(k);
        // A worker waiting for room in this slot goes on, and hands nothing more over.
        s.abandoned = true;
        workersWake_.notify_all();
        while (!s.done) playerWakes_.wait_for(lock, kPlayerNap);
        s = FileSlot{};
        --completed_;
        nextToPlay_ = k + 1;
    }
    workersWake_.notify_all();
}

void ParallelBatch::playAll(BatchResult& result) {
    for (std::size_t k = 0; k < plan_.size(); ++k) {
        if (progress_.stopRequested()) {
            result.stopped = true;
            dropFrom(k);
            return;
        }
        play(k, result);
        workersWake_.notify_all();  // room for one more file
    }
}

}  // namespace

bool runParallelBatch(Session& session, Platform& platform, ProgressDisplay& progress, const BatchPlan& plan,
                      BatchSpline& calibrationSpline, int jobs, BatchResult& result) {
    const std::size_t workers = std::min(static_cast<std::size_t>(jobs), plan.size());
    ParallelBatch batch(session, platform, progress, plan, calibrationSpline, workers);
    std::vector<std::thread> threads;
    for (std::size_t w = 0; w < workers; ++w) {
        try {
            threads.emplace_back([&batch] { batch.work(); });
        } catch (const std::system_error&) {
            break;  // run with the workers there are
        }
    }
    if (threads.empty()) return false;
    batch.start();
    batch.playAll(result);
    for (std::thread& thread : threads) thread.join();
    return true;
}

}  // namespace s2t
