// The passes compute their percentage only where its whole part changes; the progress display must
// still get exactly the calls that computing it at every point gives.
#include <gtest/gtest.h>

#include <span>
#include <vector>

#include "calibration/SplineProgress.h"
#include "engine/BatchRun.h"

namespace s2t {
namespace {

// Every value set, in order.
struct ValueLog : ProgressDisplay {
    void setLabel(std::string_view) override {}
    void setValue(double percent) override { values.push_back(percent); }
    void setInputFile(std::string_view) override {}
    void setOutputFile(std::string_view) override {}
    void setFileCounter(std::string_view) override {}
    std::vector<double> values;
};

// What a pass shows, computed at every point as the rule states it.
void showAtEveryPoint(long long i, long long total, ProgressDisplay& progress) {
    const int percent = static_cast<int>(progressPercent(i, total));
    if (percent % 10 == 0) progress.setValue(percent);
}

TEST(ProgressSteps, APassShowsWhatComputingAtEveryPointShows) {
    std::vector<long long> totals;
    for (long long total = 1; total <= 700; ++total) totals.push_back(total);
    for (long long total : {999LL, 1000LL, 1001LL, 5459LL, 32767LL, 43600LL, 99999LL, 1234567LL})
        totals.push_back(total);
    for (long long total : totals) {
        ValueLog everyPoint, pass;
        PassProgress progress(total, &pass);
        for (long long i = 0; i < total; ++i) {
            showAtEveryPoint(i, total, everyPoint);
            progress.at(i);
        }
        ASSERT_EQ(pass.values, everyPoint.values) << "total " << total;
        ASSERT_FALSE(pass.values.empty());
    }
}

// The spline's own progress, computed at every step as the algorithm states it.
std::vector<double> splineProgressAtEveryStep(std::size_t n) {
    std::vector<double> values;
    const int total = static_cast<int>(2 * n - 3);
    for (int counter = 1; counter <= total; ++counter) {
        const double percent = 100.0 * counter / total;
        if (static_cast<int>(percent) % 5 == 0) values.push_back(percent);
    }
    return values;
}

TEST(ProgressSteps, TheSplineShowsItsFivePercentStepsAsComputedAtEveryStep) {
    for (std::size_t n : {2u, 3u, 4u, 7u, 50u, 51u, 52u, 101u, 1000u, 4096u, 32767u}) {
        std::vector<CalibrationPoint> points(n);
        for (std::size_t i = 0; i < n; ++i) points[i] = {static_cast<double>(i), static_cast<double>(i % 7), 0.0};
        ValueLog log;
        splineWithProgress(std::span<CalibrationPoint>(points), false, {nullptr, &log});
        // The spline shows 0 first and last, around its steps.
        ASSERT_GE(log.values.size(), 2u);
        const std::vector<double> steps(log.values.begin() + 1, log.values.end() - 1);
        ASSERT_EQ(steps, splineProgressAtEveryStep(n)) << "n " << n;
    }
}

}  // namespace
}  // namespace s2t
