// Per-point costs of the conversion engine: the spline preparation of a scan, one constant-step
// resampling pass by each method, each writer's formatting of one value, and one whole file read,
// resampled and formatted in memory.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "calibration/Spline.h"
#include "engine/AngleMemo.h"
#include "engine/BatchRun.h"
#include "engine/ChannelMapping.h"
#include "engine/OutputPass.h"
#include "engine/RecordedConversion.h"
#include "engine/Resampling.h"
#include "engine/Session.h"
#include "engine/Writers.h"
#include "platform/MemoryFileSystem.h"

namespace s2t {
namespace {

// A channel file's worth of counts: a background with a few sharp peaks.
double countAt(std::size_t i) {
    const double x = static_cast<double>(i);
    double count = 200.0 + 50.0 * std::sin(x * 0.001);
    for (double centre : {700.0, 1400.0, 1700.0, 2200.0, 3100.0})
        count += 4000.0 * std::exp(-std::pow((x - centre) / 6.0, 2.0));
    return std::floor(count);
}

// A scan of n channels mapped to 2-theta by the built-in calibration spline, as a reader gives it.
Scan channelScan(std::size_t n) {
    CalibrationState calibration;
    calibration.installStartupValues();
    spline(std::span<CalibrationPoint>(calibration.calPoints), true);
    Scan scan;
    scan.points.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        scan.points[i].twoTheta = channelToTTheta(calibration, static_cast<double>(i), false);
        scan.points[i].count = countAt(i);
    }
    return scan;
}

// The constant-step grid of a scan, by the output pass's rule.
Grid gridOf(const Scan& scan, double step) {
    Grid grid;
    grid.step = step;
    grid.start = scan.points.front().twoTheta;
    grid.count = static_cast<long long>(std::trunc(std::trunc(scan.points.back().twoTheta - grid.start) / step));
    return grid;
}

void SplinePreparation(benchmark::State& state) {
    Scan scan = channelScan(static_cast<std::size_t>(state.range(0)));
    std::span<ScanPoint> points(scan.points);
    for (auto _ : state) {
        spline(points, false);
        benchmark::DoNotOptimize(points.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(SplinePreparation)->Arg(1000)->Arg(4096)->Arg(32767);

// One constant-step pass over a 4096-channel scan with a step of 0.02 degrees.
void ResamplingPass(benchmark::State& state, Interpolation method) {
    Scan scan = channelScan(4096);
    ConversionSettings settings;
    settings.constStepOpts = {method, 0, 0.02};
    ConversionRequest request;
    request.options = kConstantStep;
    if (method == kSplineInterpolation) spline(std::span<ScanPoint>(scan.points), false);
    const Grid grid = gridOf(scan, settings.constStepOpts.step);
    for (auto _ : state) {
        double sum = 0.0;
        walkGrid(grid, scan, request, settings, [&](long long, double, double y) { sum += y; });
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * grid.count);
}
BENCHMARK_CAPTURE(ResamplingPass, linear, kLinearInterpolation);
BENCHMARK_CAPTURE(ResamplingPass, spline, kSplineInterpolation);

// Formats kValues values per iteration into a buffer that is emptied as an output stream's is.
constexpr int kValues = 4096;

template <class Format>
void formatValues(benchmark::State& state, Format&& format) {
    std::vector<double> x(kValues), y(kValues);
    for (int i = 0; i < kValues; ++i) {
        x[i] = 10.0 + 0.02 * i;
        y[i] = countAt(static_cast<std::size_t>(i));
    }
    std::vector<char> out(static_cast<std::size_t>(kValues) * 64 + kValueRoom);
    std::size_t bytes = 0;
    for (auto _ : state) {
        char* at = out.data();
        for (int i = 0; i < kValues; ++i) at = format(at, i, x[i], y[i]);
        bytes = static_cast<std::size_t>(at - out.data());
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * kValues);
    state.SetBytesProcessed(state.iterations() * static_cast<long long>(bytes));
}

void ChannelLine(benchmark::State& state) {
    formatValues(state, [](char* at, int i, double, double y) { return writeChannelLine(at, i, y, LineEnd::CrLf); });
}
BENCHMARK(ChannelLine);

void TextLine(benchmark::State& state) {
    formatValues(state, [](char* at, int, double x, double y) { return writeTThetaLine(at, 0, x, y, LineEnd::CrLf); });
}
BENCHMARK(TextLine);

void TextLineFractional(benchmark::State& state) {
    formatValues(state, [](char* at, int, double x, double y) {
        return writeTThetaLine(at, kFractionalCounts, x, y + 0.37, LineEnd::CrLf);
    });
}
BENCHMARK(TextLineFractional);

// XFIT and LHPM files write their values alike. (A GUFI file keeps each value as a float and writes
// them all at once: no formatting per value.)
void XfitValue(benchmark::State& state) {
    formatValues(state, [](char* at, int i, double, double y) { return writeXFitCount(at, 0, y, i, LineEnd::CrLf); });
}
BENCHMARK(XfitValue);

void CpiCount(benchmark::State& state) {
    formatValues(state, [](char* at, int, double, double y) { return writeCPICount(at, 0, y, LineEnd::CrLf); });
}
BENCHMARK(CpiCount);

// One 4096-channel file read, mapped by the calibration spline, resampled by the spline with a
// step of 0.02 degrees and formatted in memory: all a batch does per file except the file system.
void WholeFileInMemory(benchmark::State& state, std::int32_t format) {
    const std::string path = (std::filesystem::temp_directory_path() / "scan2theta-bench-4096.chn").string();
    {
        std::string bytes(32 + 4 * 4096, '\0');
        bytes[0] = bytes[1] = static_cast<char>(0xFF);
        bytes[31] = 0x10;  // 4096 channels
        for (std::size_t i = 0; i < 4096; ++i) {
            const auto count = static_cast<std::uint32_t>(countAt(i));
            for (int b = 0; b < 4; ++b) bytes[32 + 4 * i + b] = static_cast<char>((count >> (8 * b)) & 0xFF);
        }
        std::FILE* file = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    Session session;
    session.calibration.installStartupValues();
    spline(std::span<CalibrationPoint>(session.calibration.calPoints), true);
    session.settings.constStepOpts = {kSplineInterpolation, 0, 0.02};
    session.settings.CPIOpt = {"Cu", 1.5406};
    MemoryFileSystem files;
    ConversionRecorder recorder("2026-01-02", &files, true);
    ConversionRequest request;
    request.inputFile = path;
    request.outputFile = "unused";
    request.fileType = kChnFileType;
    request.conversion = kSplineConversion;
    request.options = kConstantStep;
    request.outputFileType = format;
    request.progressPanel = &recorder;
    request.outputTarget = &recorder;
    // One file of a batch: the angles kept from the file before.
    AngleMemo angles;
    request.angleMemo = &angles;
    const long long values = gridOf(channelScan(4096), 0.02).count;
    for (auto _ : state) {
        convertAnyFile(request, session, recorder);
        const ConversionRecord record = recorder.take();
        benchmark::DoNotOptimize(record.events.data());
    }
    state.SetItemsProcessed(state.iterations() * values);
    std::remove(path.c_str());
}
BENCHMARK_CAPTURE(WholeFileInMemory, text, kTextOutput);
BENCHMARK_CAPTURE(WholeFileInMemory, xfit, kXfitOutput);
BENCHMARK_CAPTURE(WholeFileInMemory, cpi, kCpiOutput);

}  // namespace
}  // namespace s2t
