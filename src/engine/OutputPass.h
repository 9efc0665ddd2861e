// What every writer shares: opening the output file under a free name, choosing the grid (the
// scan's points one by one, or a constant 2-theta step), the header range of the grid formats,
// and the pass that delivers one point at a time with progress.
#pragma once

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "engine/BatchRun.h"
#include "engine/ConversionRecords.h"
#include "engine/OutputTarget.h"
#include "engine/Resampling.h"
#include "engine/Session.h"
#include "platform/FileSystem.h"
#include "platform/Messages.h"
#include "platform/NumberText.h"

namespace s2t {

// The failure texts of the writers (messages::kChannelOutputFailure for the channel list,
// messages::kOutputFailure for every other format). A file whose values overflowed (resampling
// across the spans of an absurd calibration) is not written, "inf" or "nan" being no data
// (messages::kNotFiniteFailure); nor is a constant-step file without a single value, which would
// announce a header range that no value fills (messages::kNoValuesFailure).

// Where a writer sends its file: the request's target, or else the platform's file system at once
// (through the fallback the writer holds).
inline OutputTarget& outputTargetOf(const ConversionRequest& request, DirectOutputTarget& fallback) {
    return request.outputTarget ? *request.outputTarget : fallback;
}

// The grid of the pass: values start + i x step for i from 0 to count - 1.
struct Grid {
    double start = 0.0;
    double step = 1.0;
    long long count = 0;
};

// Grid value i: every user of the grid computes it by this one expression, so that the header's
// range names exactly the doubles the pass delivers.
inline double gridValue(const Grid& grid, long long i) { return grid.start + static_cast<double>(i) * grid.step; }

// The most values one constant-step grid may have.
inline constexpr double kMaxGridValues = 100000000.0;

// Chooses the grid; with constant step prepares the scan first (sorting, spline). Null after an
// "Error" message when the step would make more than kMaxGridValues values.
std::optional<Grid> chooseGrid(Scan& scan, const ConversionRequest& request, const ConversionSettings& settings,
                               Platform& platform);

// First and last 2-theta of the XFIT, LHPM, CPI and GUFI headers: the grid's own ends, clipped to
// the range limits; the last is the 2-theta of the last value the file holds, so that
// (last - first) / step + 1 is the number of values.
struct HeaderRange {
    double first = 0.0;
    double last = 0.0;
};
HeaderRange headerRange(const ConversionRequest& request, const ConversionSettings& settings, const Grid& grid);

// Calls deliver(i, x, y) for every grid index whose point getTThetaAndCounts delivers, with the
// progress shown at each tenth (progress displays ignore repeats of the value they show).
template <class Deliver>
void walkGrid(const Grid& grid, const Scan& scan, const ConversionRequest& request, const ConversionSettings& settings,
              Deliver&& deliver) {
    // The points are computed a block at a time before they are delivered, so that the processor
    // overlaps the divisions of neighbouring points; computing them shows and writes nothing.
    constexpr long long kBlock = 128;
    // A spline grid's counts are computed interval by interval (splintAscending: the same values).
    std::span<const ScanPoint> points(scan.points);
    const bool splineGrid = (request.options & kConstantStep) && settings.constStepOpts.method == kSplineInterpolation;
    IntervalCursor cursor;
    PassProgress progress(grid.count, request.progressPanel);
    double xs[kBlock], ys[kBlock];
    int results[kBlock];
    for (long long first = 0; first < grid.count; first += kBlock) {
        const long long size = std::min(kBlock, grid.count - first);
        for (long long k = 0; k < size; ++k) xs[k] = gridValue(grid, first + k);
        if (splineGrid) {
            splintAscending(points, std::span<const double>(xs, static_cast<std::size_t>(size)), ys, cursor);
            for (long long k = 0; k < size; ++k) results[k] = finishPoint(xs[k], ys[k], request.options, settings);
        } else {
            for (long long k = 0; k < size; ++k)
                results[k] = getTThetaAndCounts(xs[k], ys[k], points, request, settings, &cursor);
        }
        for (long long k = 0; k < size; ++k) {
            progress.at(first + k);
            if (results[k] == kPointDelivered) deliver(first + k, xs[k], ys[k]);
        }
    }
}

// The most one value's text takes (a line of three numbers, as XYE and FXYE write, with the widest
// numbers).
inline constexpr std::size_t kValueRoom = 3 * kNumberRoom + 16;

// Values written straight into memory, a block at a time: each writer puts one short text per
// value at at() and advances past it, and the block joins the stream in one piece.
class TextBlock {
public:
    explicit TextBlock(OutputStream& stream) : stream_(stream) {}
    TextBlock(const TextBlock&) = delete;
    TextBlock& operator=(const TextBlock&) = delete;

    char* at() { return end_; }
    void advance(char* end) {
        end_ = end;
        if (static_cast<std::size_t>(data_ + sizeof data_ - end_) < kValueRoom) flush();
    }
    void flush() {
        stream_.append(std::string_view(data_, static_cast<std::size_t>(end_ - data_)));
        end_ = data_;
    }

private:
    OutputStream& stream_;
    char data_[1 << 14];
    char* end_ = data_;
};

// A grid format: its extension, the lines before the values, one value (written at `at`, returning
// the end of its text), and a last check before the file is completed (false: the check has
// refused the file through the target).
struct NoFinalCheck {
    bool operator()(OutputStream&, OutputTarget&) const { return true; }
};

// The whole output pass of a writer: open, grid, header, values, completion.
template <class Header, class Value, class FinalCheck = NoFinalCheck>
bool runOutputPass(const ConversionRequest& request, Scan& scan, Session& session, Platform& platform,
                   std::string_view extension, Header&& header, Value&& value, FinalCheck&& finalCheck = FinalCheck{}) {
    DirectOutputTarget direct(platform, request.progressPanel, request.batchFiles);
    OutputTarget& target = outputTargetOf(request, direct);
    if (!target.open(request.outputFile, extension, messages::kOutputFailure)) return false;
    auto grid = chooseGrid(scan, request, session.settings, platform);
    if (!grid) return false;
    OutputStream stream(target.file());
    const HeaderRange range = headerRange(request, session.settings, *grid);
    // A header value that is not a finite number is no data either (a defence: the header's values are
    // grid values, and the grid lies within the scan).
    bool finite = std::isfinite(range.first) && std::isfinite(range.last);
    long long delivered = 0;
    if (finite) {
        header(stream, range, *grid);
        TextBlock block(stream);
        walkGrid(*grid, scan, request, session.settings, [&](long long i, double x, double y) {
            finite = finite && std::isfinite(x) && std::isfinite(y);
            if (finite) block.advance(value(block.at(), i, x, y));
            ++delivered;
        });
        block.flush();
    }
    if (!finite) {
        target.refuse(messages::kNotFiniteFailure);
        return false;
    }
    if (delivered == 0 && (request.options & kConstantStep)) {
        target.refuse(messages::kNoValuesFailure);
        return false;
    }
    if (!finalCheck(stream, target)) return false;
    stream.flush();
    return target.finish(messages::kOutputFailure);
}

}  // namespace s2t
