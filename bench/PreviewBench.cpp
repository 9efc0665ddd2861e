// Drawing the desktop program's preview of a 32767-point scan, off screen: the decimation alone,
// a whole redraw of the preview as it draws (a few points per pixel column), a zoom step, and
// for comparison the same chart with one point per channel; and reading eight such scans, as a
// selection change does. Run build/bench/scan2theta-preview-bench.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QPixmap>
#include <QValueAxis>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "engine/Session.h"
#include "ui/ColumnDecimation.h"
#include "ui/PreviewSelection.h"
#include "ui/ScanPreview.h"

namespace {

constexpr int kPoints = 32767;
const QSize kSize(900, 520);

// A long scan: a background with sharp peaks and counting noise-like ripple.
s2t::ui::PreviewData longScan() {
    s2t::ui::PreviewData data;
    for (int i = 0; i < kPoints; ++i) {
        const double x = i;
        double count = 200.0 + 40.0 * std::sin(x * 0.37) + 50.0 * std::sin(x * 0.001);
        for (double centre : {3000.0, 9000.0, 15000.0, 22000.0, 30000.0})
            count += 40000.0 * std::exp(-std::pow((x - centre) / 12.0, 2.0));
        data.x.push_back(5.0 + 0.0025 * x);
        data.counts.push_back(std::floor(count));
    }
    data.twoTheta = data.x;
    return data;
}

void decimation(benchmark::State& state) {
    const s2t::ui::PreviewData data = longScan();
    for (auto _ : state) {
        auto kept = s2t::ui::decimatedIndices(data.x, data.counts, data.x.front(), data.x.back(), 820);
        benchmark::DoNotOptimize(kept.data());
    }
}
BENCHMARK(decimation)->Unit(benchmark::kMicrosecond);

// showScan and one paint of the whole preview.
void previewRedraw(benchmark::State& state) {
    const s2t::ui::PreviewData data = longScan();
    s2t::ui::ScanPreview preview;
    preview.resize(kSize);
    preview.show();
    QPixmap target(kSize);
    for (auto _ : state) {
        preview.showScan("long.chn", data);
        preview.render(&target);
    }
    state.counters["drawn"] = preview.drawnPointCount(0);
}
BENCHMARK(previewRedraw)->Unit(benchmark::kMillisecond);

// One wheel notch in and out on the shown scan, each painted.
void previewZoomStep(benchmark::State& state) {
    const s2t::ui::PreviewData data = longScan();
    s2t::ui::ScanPreview preview;
    preview.resize(kSize);
    preview.show();
    preview.showScan("long.chn", data);
    QPixmap target(kSize);
    for (auto _ : state) {
        preview.zoomAbout(50.0, 0.8);
        preview.render(&target);
        preview.zoomAbout(50.0, 1.25);
        preview.render(&target);
    }
}
BENCHMARK(previewZoomStep)->Unit(benchmark::kMillisecond);

// The chart fed one point per channel, as the preview was before: the cost decimation saves.
void everyPointRedraw(benchmark::State& state) {
    const s2t::ui::PreviewData data = longScan();
    auto* chart = new QChart;
    auto* series = new QLineSeries(chart);
    chart->addSeries(series);
    chart->createDefaultAxes();
    QChartView view(chart);
    view.setRenderHint(QPainter::Antialiasing);
    view.resize(kSize);
    view.show();
    QList<QPointF> points;
    for (std::size_t i = 0; i < data.x.size(); ++i) points.append(QPointF(data.x[i], data.counts[i]));
    QPixmap target(kSize);
    for (auto _ : state) {
        series->replace(points);
        chart->axes(Qt::Horizontal).front()->setRange(data.x.front(), data.x.back());
        chart->axes(Qt::Vertical).front()->setRange(0.0, 42000.0);
        static_cast<QWidget&>(view).render(&target);
    }
}
BENCHMARK(everyPointRedraw)->Unit(benchmark::kMillisecond);

// Eight channel files of 32767 channels, the most the preview overlays, in a scratch folder.
std::vector<s2t::BatchInput> longChannelFiles(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    const s2t::ui::PreviewData shape = longScan();
    std::vector<s2t::BatchInput> files;
    for (int f = 0; f < s2t::ui::kMostOverlaidScans; ++f) {
        std::string bytes(32 + 4 * kPoints, '\0');
        bytes[0] = bytes[1] = static_cast<char>(0xFF);
        bytes[30] = static_cast<char>(kPoints & 0xFF);
        bytes[31] = static_cast<char>(kPoints >> 8);
        for (int i = 0; i < kPoints; ++i) {
            const auto count = static_cast<std::uint32_t>(shape.counts[static_cast<std::size_t>(i)]) + f;
            for (int b = 0; b < 4; ++b) bytes[32 + 4 * i + b] = static_cast<char>((count >> (8 * b)) & 0xFF);
        }
        const std::string path = (folder / ("long-" + std::to_string(f) + ".chn")).string();
        std::ofstream(path, std::ios::binary) << bytes;
        files.push_back({path, s2t::kChnFileType});
    }
    return files;
}

// What a selection change of eight long scans reads: against 2-theta (one read each), and against
// channel (a second read each for the readout's 2-theta).
void previewSelectionRead(benchmark::State& state) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("scan2theta-preview-bench-" + std::to_string(getpid()));
    const std::vector<s2t::BatchInput> files = longChannelFiles(folder);
    s2t::Session session;
    session.calibration.installStartupValues();
    s2t::MainPanelChoices choices;
    choices.convertToTwoTheta = state.range(0) == 0;
    for (auto _ : state) {
        s2t::ui::PreviewSelection selection = s2t::ui::readPreviewSelection(session, files, choices);
        benchmark::DoNotOptimize(selection.scans.data());
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(previewSelectionRead)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
