#include "engine/ParallelBatch.h"

#include <atomic>
#include <future>
#include <semaphore>
#include <system_error>
#include <thread>
#include <vector>

#include "engine/AngleMemo.h"
#include "engine/RecordedConversion.h"

namespace s2t {
namespace {

// What a worker hands over for one file.
struct ConvertedFile {
    ConversionRecord record;
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
              handOver_(plan.size()) {
        for (auto& promise : handOver_) converted_.push_back(promise.get_future());
    }

    // Prepares what the workers read, then lets them begin.
    void start();
    void work();
    void playAll(BatchResult& result);

private:
    ConvertedFile convert(std::size_t k, ConversionRecorder& recorder, AngleMemo& angles);
    void play(std::size_t k, ConvertedFile converted, BatchResult& result);
    const CalibrationState& calibrationFor(std::size_t k) const {
        // Nothing writes the calibration while the workers run.
        return k == 0 ? firstCalibration_ : session_.calibration;
    }

    Session& session_;
    Platform& platform_;
    ProgressDisplay& progress_;
    const BatchPlan& plan_;
    BatchSpline& calibrationSpline_;
    // Files in flight at most: started and not yet played back. Enough that the workers never
    // wait for the caller's thread, few enough that their nameless files stay few.
    const std::ptrdiff_t window_;
    CalibrationState firstCalibration_;
    ConversionSettings batchSettings_;
    CalibrationOrigin batchOrigin_;
    std::string date_;

    // Room for files to start in: taken by a worker for each file, given back when the file is
    // played. Empty until start().
    std::counting_semaphore<> room_{0};
    std::atomic<std::size_t> nextToStart_{0};
    std::atomic<bool> stopping_{false};                  // the user stopped the batch: workers start no further file
    std::vector<std::promise<ConvertedFile>> handOver_;  // file k's, from the worker that converted it
    std::vector<std::future<ConvertedFile>> converted_;  // file k's, for the caller's thread
};

void ParallelBatch::start() {
    date_ = platform_.dateText();
    // Both calibrations the files convert with, computed once here (see BatchSpline).
    calibrationSpline_.computeFor(0, session_.calibration);
    firstCalibration_ = session_.calibration;
    if (plan_.size() > 1) calibrationSpline_.computeFor(1, session_.calibration);
    batchSettings_ = session_.settings;
    batchOrigin_ = session_.calibrationOrigin;
    room_.release(window_);
}

ConvertedFile ParallelBatch::convert(std::size_t k, ConversionRecorder& recorder, AngleMemo& angles) {
    ConversionRequest request = plan_.request(k, &recorder);
    request.outputTarget = &recorder;
    request.angleMemo = &angles;
    // What the file is converted with, as the caller's session holds it for this file: the
    // settings, and the calibration and its origin, which the annotated formats' headers state.
    Session own;
    own.settings = batchSettings_;
    own.calibration = calibrationFor(k);
    own.calibrationOrigin = batchOrigin_;
    convertAnyFile(request, own, recorder);
    ConvertedFile converted;
    converted.record = recorder.take();
    return converted;
}

void ParallelBatch::work() {
    room_.acquire();  // the batch has started: what start() prepared may be read
    ConversionRecorder recorder(date_, &platform_.fileSystem(), progress_.showsAnything());
    AngleMemo angles;
    for (;;) {
        const std::size_t k = nextToStart_++;
        if (stopping_ || k >= plan_.size()) {
            room_.release();  // for the next worker, which stops too
            return;
        }
        handOver_[k].set_value(convert(k, recorder, angles));
        room_.acquire();
    }
}

void ParallelBatch::play(std::size_t k, ConvertedFile converted, BatchResult& result) {
    progress_.setInputFile(plan_.inputPath(k));
    progress_.setFileCounter(plan_.counterText(k));
    calibrationSpline_.showFor(k, platform_);
    const ConversionRequest request = plan_.request(k, &progress_);
    bool written = false;
    if (converted.record.convertAgain) {
        ReadResult read = readAnyFile(request, calibrationFor(k));
        written = showReadMessages(read, platform_) && writeScan(request, read.scan, session_, platform_);
    } else {
        written = playBack(converted.record.events, std::move(converted.record.output), request.outputFile, platform_,
                           &progress_, request.batchFiles);
    }
    ++(written ? result.converted : result.skipped);
}

void ParallelBatch::playAll(BatchResult& result) {
    for (std::size_t k = 0; k < plan_.size(); ++k) {
        if (progress_.stopRequested()) {
            // No file starts any more; the records of the files started ahead are dropped unplayed
            // (their outputs never get a name).
            result.stopped = true;
            stopping_ = true;
            room_.release();
            return;
        }
        play(k, converted_[k].get(), result);
        room_.release();
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
