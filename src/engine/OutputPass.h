// What every writer shares: opening the output file under a free name, choosing the grid (the
// scan's points one by one, or a constant 2-theta step), the header range of the grid formats,
// and the pass that delivers one point at a time with progress.
#pragma once

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

namespace s2t {

// The failure text of the channel list and that of every other writer ("%s": the output path).
inline constexpr std::string_view kChannelOutputFailure =
    "Couldn't open output file: %s\nYour disk my be full or you may not have write permission.\n"
    "Will skip conversion.";
inline constexpr std::string_view kOutputFailure =
    "Couldn't open output file: %s\nYour disk my be full, you may not have write permission or you "
    "may have the file already open.\nWill skip conversion.";

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

// The most values one constant-step grid may have.
inline constexpr double kMaxGridValues = 100000000.0;

// Chooses the grid; with constant step prepares the scan first (sorting, spline). Null after an
// "Error" message when the step would make more than kMaxGridValues values.
std::optional<Grid> chooseGrid(Scan& scan, const ConversionRequest& request, const ConversionSettings& settings,
                               Platform& platform);

// First and last 2-theta of the XFIT, LHPM, CPI and GUFI headers: the grid's own ends, clipped to
// the range limits; the last is the last value the file holds.
struct HeaderRange {
    double first = 0.0;
    double last = 0.0;
};
HeaderRange GetHeaderInfo(const ConversionRequest& request, const ConversionSettings& settings,
                          const Grid& grid);

// Calls deliver(i, x, y) for every grid index whose point getTThetaAndCounts delivers, with the
// progress shown at each tenth (progress displays ignore repeats of the value they show).
template <class Deliver>
void walkGrid(const Grid& grid, const Scan& scan, const ConversionRequest& request,
              const ConversionSettings& settings, Deliver&& deliver) {
    std::span<const ScanPoint> points(scan.points);
    IntervalCursor cursor;
    PassProgress progress(grid.count, request.progressPanel);
    for (long long i = 0; i < grid.count; ++i) {
        progress.at(i);
        double x = grid.start + static_cast<double>(i) * grid.step;
        double y = 0.0;
        if (getTThetaAndCounts(x, y, points, request, settings, &cursor) == kPointDelivered) deliver(i, x, y);
    }
}

// A grid format: its extension, the lines before the values, one value, and a last check before
// the file is completed (false: the check has refused the file through the target).
struct NoFinalCheck {
    bool operator()(OutputStream&, OutputTarget&) const { return true; }
};

// The whole output pass of a writer: open, grid, header, values, completion.
template <class Header, class Value, class FinalCheck = NoFinalCheck>
bool runOutputPass(const ConversionRequest& request, Scan& scan, Session& session, Platform& platform,
                   std::string_view extension, Header&& header, Value&& value,
                   FinalCheck&& finalCheck = FinalCheck{}) {
    DirectOutputTarget direct(platform, request.progressPanel);
    OutputTarget& target = outputTargetOf(request, direct);
    if (!target.open(request.outputFile, extension, kOutputFailure)) return false;
    auto grid = chooseGrid(scan, request, session.settings, platform);
    if (!grid) return false;
    OutputStream stream(target.file());
    header(stream, GetHeaderInfo(request, session.settings, *grid), *grid);
    walkGrid(*grid, scan, request, session.settings, [&](long long i, double x, double y) {
        value(stream, i, x, y);
        stream.flushIfFull();
    });
    if (!finalCheck(stream, target)) return false;
    stream.flush();
    return target.finish(kOutputFailure);
}

}  // namespace s2t
