// The batch run: every listed file converted with the same choices, one after the other, with a
// progress display, free output names ("Replace?"), and a failing file reported and skipped.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/ConversionRecords.h"
#include "engine/ReadAnyFile.h"
#include "engine/Session.h"
#include "platform/Platform.h"
#include "platform/WholePercent.h"

namespace s2t {

// One entry of the file list: the path as listed and its kind; for a file of several blocks, the
// block to convert (from 0; -1: every block, one output each) and what its output name gets
// after the input's (a batch fills it in: "-b1", "-b2", ...).
struct BatchInput {
    BatchInput() = default;
    BatchInput(std::string path_, std::int32_t fileType_, int block_ = -1, std::string outputSuffix_ = {})
            : path(std::move(path_)), fileType(fileType_), block(block_), outputSuffix(std::move(outputSuffix_)) {}

    std::string path;
    std::int32_t fileType = kOtherFileType;
    int block = -1;
    std::string outputSuffix;
};

// The choices read once at the start of a batch.
struct BatchChoices {
    Conversion conversion = kLinearConversion;
    std::uint16_t options = 0;
    std::int32_t outputFileType = kTextOutput;
};

// The main panel's controls that decide the choices.
struct MainPanelChoices {
    bool convertToTwoTheta = true;
    bool linearMode = true;
    bool splineMode = false;
    bool trailerMode = false;  // the straight line stored in each channel file's trailer
    bool wholeTwoTheta = false;
    bool constantStep = false;
    bool limitRange = false;
    bool perSecond = false;  // counts per second of live time (annotated formats only)
    std::int32_t outputFormat = kTextOutput;
    bool outputFormatDimmed = false;
};

// The request fields of a batch from the main panel's controls and the constant-step settings.
BatchChoices readBatchChoices(const MainPanelChoices& panel, const ConstStepOptions& constStepOpts);

// Where the outputs go.
struct OutputDestination {
    enum class Kind {
        File,            // one input: this output path (its extension is replaced by the format's)
        Directory,       // each output in this directory, under its input's name
        BesideInputs,    // each output beside its input, under the input's name
        StandardOutput,  // the one file to standard output (path: how messages call it)
    };
    Kind kind = Kind::BesideInputs;
    std::string path;
};

struct BatchResult {
    int converted = 0;       // files written
    int skipped = 0;         // files reported and skipped
    bool cancelled = false;  // the destination popup was cancelled: nothing converted
    bool stopped = false;    // the user stopped the batch: the files after the last one counted were not tried
};

// The batch as the desktop program runs it: asks for the output file (one input) or directory
// (several), shows the progress panel, converts every file (jobs: as for runBatch).
BatchResult convertFiles(Session& session, Platform& platform, const std::vector<BatchInput>& inputs,
                         const BatchChoices& choices, int jobs = 1);

// The default number of jobs of a batch: one per core of this machine.
int jobsPerCore();

// The batch with the destination chosen by the caller. jobs > 1 reads and computes files in
// parallel; questions, messages and output names stay exactly those of a run one file after the
// other. A batch to standard output converts its files one after the other, each file whole.
BatchResult runBatch(Session& session, Platform& platform, const std::vector<BatchInput>& inputs,
                     const BatchChoices& choices, const OutputDestination& destination, int jobs = 1);

class AngleMemo;
class BatchPlan;
class OutputTarget;
class BatchSpline;

// The files of plan converted one after the other on this thread, with the progress display of
// the batch. angles: what one file keeps for the next (see AngleMemo); null: every file mapped
// afresh. target: where every file goes; null: the platform's file system, under its name.
void convertInOrder(Session& session, Platform& platform, ProgressDisplay& progress, const BatchPlan& plan,
                    BatchSpline& calibrationSpline, AngleMemo* angles, BatchResult& result,
                    OutputTarget* target = nullptr);

// One file: read it with the reader of its kind (readAnyFile, mapped by the session's
// calibration), show what reading it told the user, and write it in the request's format.
// Returns whether an output was written.
bool convertAnyFile(const ConversionRequest& request, Session& session, Platform& platform);
// The writing half of convertAnyFile: a scan that was read, in the request's format; whether an
// output was written.
bool writeScan(const ConversionRequest& request, Scan& scan, Session& session, Platform& platform);

// Path helpers. Both '/' and '\' separate components.
// The path cut after its last separator (the directory with its trailing separator).
std::string getDirPath(std::string_view path);
// The path without its extension: the last "." and what follows, when that "." comes after the
// last separator and the last colon.
std::string removeExtension(std::string_view path);
// path + "." + at most the first four characters of extension.
std::string addExtension(std::string_view path, std::string_view extension);

// An output name as it was chosen.
struct ChosenName {
    std::string path;
    // Replace: the user agreed to replace the file under path. Keep: path was found free, and a
    // file that takes it before the output is complete is not replaced either.
    ExistingFile existing = ExistingFile::Keep;
    int number = 0;          // 0: base + extension itself; k: base-000k
    bool exhausted = false;  // base-0001 to base-9999 are all taken: path is base-9999, not to be written
};

// The output name for base + extension: the name itself when free, or when the user agrees to
// replace the file; otherwise the first free name of base-0001, base-0002, ... (base-9999 in the
// end, free or not: exhausted, since the user declined to replace). A name an earlier file of
// the batch was written under (batch, null: none) is passed over without a question, as are the
// numbered names after it that the batch wrote; the first numbered name it did not write is
// then offered as the name itself is.
ChosenName findAFreeFileName(std::string_view base, std::string_view extension, Platform& platform,
                             const BatchFiles* batch = nullptr);

// The first free name of base-first, base-(first+1), ..., base-9999 (exhausted when none is).
ChosenName freeNumberedName(std::string_view base, std::string_view extension, int first, FileSystem& files);

// The progress of point i of total, in percent.
inline double progressPercent(long long i, long long total) {
    return 100.0 * (static_cast<double>(i) / static_cast<double>(total));
}

// The progress of the points i = 0, 1, 2, ... of one pass of total points, shown at whole
// multiples of 10 percent: at point i the indicator gets the whole part of progressPercent(i,
// total) when that is a multiple of 10. The percentage is computed only where its whole part
// changes.
class PassProgress {
public:
    PassProgress(long long total, ProgressDisplay* progress) : progress_(progress), whole_(total, PercentAt{total}) {}
    void at(long long i) {
        if (!progress_) return;
        const int percent = whole_.at(i);
        if (percent % 10 == 0) progress_->setValue(percent);
    }

private:
    struct PercentAt {
        long long total;
        double operator()(long long i) const { return progressPercent(i, total); }
    };
    ProgressDisplay* progress_;
    WholePercent<PercentAt> whole_;
};

}  // namespace s2t
