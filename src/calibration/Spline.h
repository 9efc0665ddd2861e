// The interpolating cubic spline, over any array of records that name their three doubles as
// Record::abscissa, Record::ordinate and Record::secondDerivative (member pointers). Calibration
// points (channel -> 2-theta) and scans (2-theta -> count) both use it. Only numbers here: the
// wait cursor and progress a user sees while a spline is computed are SplineProgress.h's.
//
// The arithmetic follows the classic tridiagonal algorithm step by step, in this order, so
// that results are reproducible to the last bit.
#pragma once

#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

namespace s2t {

inline double sqr(double v) { return v * v; }

// Sorts records by ascending abscissa. Records with distinct abscissae end in the one ascending
// order; an array that is already ascending is left untouched (checked in one pass), and
// anything else costs O(n log n).
template <class Record>
void sortByAbscissa(std::span<Record> points) {
    constexpr auto x = Record::abscissa;
    auto less = [](const Record& a, const Record& b) { return a.*x < b.*x; };
    if (std::is_sorted(points.begin(), points.end(), less)) return;
    std::stable_sort(points.begin(), points.end(), less);
}

// The least-squares slope of ordinate on abscissa, by way of the standard deviations and the
// correlation coefficient, summed in the order the records are given. A horizontal set of
// points has slope 0 (the correlation would be 0/0).
template <class Record>
double leastSquaresSlope(std::span<const Record> points) {
    constexpr auto X = Record::abscissa;
    constexpr auto Y = Record::ordinate;
    const double n = static_cast<double>(points.size());
    double sumX = 0.0, sumY = 0.0;
    for (const Record& p : points) {
        sumX += p.*X;
        sumY += p.*Y;
    }
    const double mx = sumX / n;
    const double my = sumY / n;
    double sumDx2 = 0.0, sumDy2 = 0.0, sumXY = 0.0;
    for (const Record& p : points) {
        sumDx2 += sqr(p.*X - mx);
        sumDy2 += sqr(p.*Y - my);
        sumXY += p.*X * p.*Y - mx * my;
    }
    const double sx = std::sqrt(sumDx2 / (n - 1.0));
    const double sy = std::sqrt(sumDy2 / (n - 1.0));
    if (sy == 0.0) return 0.0;
    const double r = (sumXY / (n - 1.0)) / (sx * sy);
    return r * sy / sx;
}

// What a spline computation that nobody watches does after each step.
struct NoSplineSteps {
    void operator()(long long /*done*/, long long /*total*/) const {}
};

// Sorts the records by abscissa and fills their second derivatives. slopeFromFit: both end
// slopes are the least-squares slope of the points; otherwise both are 0. Fewer than two records
// get second derivatives 0. n >= 2 records take 2n - 3 steps (one per row of the two sweeps);
// onStep(done, total) is called after each, for a caller that shows how far the computation is
// (see SplineProgress.h): a spline of millions of scan points takes long enough to be watched.
template <class Record, class OnStep = NoSplineSteps>
void spline(std::span<Record> points, bool slopeFromFit, OnStep&& onStep = {}) {
    constexpr auto X = Record::abscissa;
    constexpr auto Y = Record::ordinate;
    constexpr auto Y2 = Record::secondDerivative;
    const std::size_t n = points.size();
    if (n < 2) {
        for (Record& p : points) p.*Y2 = 0.0;
        return;
    }

    double slope = 0.0;
    if (slopeFromFit) slope = leastSquaresSlope(std::span<const Record>(points));
    const double yp1 = slope;
    const double ypn = slope;

    const long long total = static_cast<long long>(2 * n - 3);
    long long done = 0;
    auto step = [&] { onStep(++done, total); };

    sortByAbscissa(points);
    auto x = [&](std::size_t i) { return points[i].*X; };
    auto y = [&](std::size_t i) { return points[i].*Y; };
    auto y2 = [&](std::size_t i) -> double& { return points[i].*Y2; };

    std::vector<double> u(n - 1);
    if (yp1 > 9.9e29) {
        y2(0) = 0.0;
        u[0] = 0.0;
    } else {
        y2(0) = -0.5;
        u[0] = (3.0 / (x(1) - x(0))) * ((y(1) - y(0)) / (x(1) - x(0)) - yp1);
    }
    // The slope of each interval is the right-hand one of point i and the left-hand one of point
    // i + 1: computed once, it is the same double both times, and the loop divides a third less.
    double slopeBelow = (y(1) - y(0)) / (x(1) - x(0));
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const double sig = (x(i) - x(i - 1)) / (x(i + 1) - x(i - 1));
        const double p = sig * y2(i - 1) + 2.0;
        y2(i) = (sig - 1.0) / p;
        const double slopeAbove = (y(i + 1) - y(i)) / (x(i + 1) - x(i));
        const double d = slopeAbove - slopeBelow;
        slopeBelow = slopeAbove;
        u[i] = (6.0 * d / (x(i + 1) - x(i - 1)) - sig * u[i - 1]) / p;
        step();
    }
    double qn = 0.0, un = 0.0;
    if (!(ypn > 9.9e29)) {
        qn = 0.5;
        un = (3.0 / (x(n - 1) - x(n - 2))) * (ypn - (y(n - 1) - y(n - 2)) / (x(n - 1) - x(n - 2)));
    }
    y2(n - 1) = (un - qn * u[n - 2]) / (qn * y2(n - 2) + 1.0);
    for (std::size_t k = n - 1; k-- > 0;) {
        y2(k) = y2(k) * y2(k + 1) + u[k];
        step();
    }
}

// Where the last evaluation found its interval. Abscissae asked in ascending order mostly fall in
// the same interval as the one before or in the next, found with two comparisons instead of a
// bisection. The interval found is always the bisection's: for ascending abscissae only one
// interval passes the bisection's own test, and anything else falls back to the bisection.
struct IntervalCursor {
    std::size_t lower = 0;
};

// The bisection's interval (klo, klo + 1) for x among n >= 2 records with ascending abscissae.
template <class Record>
std::size_t splineInterval(std::span<const Record> points, double x, IntervalCursor* cursor) {
    constexpr auto X = Record::abscissa;
    const std::size_t n = points.size();
    // What the bisection ends with: klo is 0 or not above x, klo + 1 is the last record or above x.
    auto isTheInterval = [&](std::size_t klo) {
        return (klo == 0 || !(x < points[klo].*X)) && (klo + 2 == n || x < points[klo + 1].*X);
    };
    if (cursor && cursor->lower + 2 <= n) {
        // Move on by up to two intervals without a branch to mispredict: an ascending walk moves
        // on by at most one interval per value unless its step is larger than the points' spacing.
        std::size_t klo = cursor->lower;
        klo += static_cast<std::size_t>(klo + 2 < n && !(x < points[klo + 1].*X));
        klo += static_cast<std::size_t>(klo + 2 < n && !(x < points[klo + 1].*X));
        if (isTheInterval(klo)) {
            cursor->lower = klo;
            return klo;
        }
    }
    std::size_t klo = 0;
    std::size_t khi = n - 1;
    while (khi - klo > 1) {
        const std::size_t k = (khi + klo) / 2;
        if (x < points[k].*X)
            khi = k;
        else
            klo = k;
    }
    if (cursor) cursor->lower = klo;
    return klo;
}

// The spline's value at x, from the second derivatives of a preceding spline() on the same
// records (which sorted them). Two records with the same abscissa around x make a zero-width
// interval: the lower record's ordinate is returned and *zeroWidth is set, so that the caller can
// report it once. cursor: see IntervalCursor.
template <class Record>
double splint(std::span<const Record> points, double x, bool* zeroWidth = nullptr, IntervalCursor* cursor = nullptr) {
    constexpr auto X = Record::abscissa;
    constexpr auto Y = Record::ordinate;
    constexpr auto Y2 = Record::secondDerivative;
    std::size_t klo = 0;
    std::size_t khi = 0;
    if (points.size() >= 2) {
        klo = splineInterval(points, x, cursor);
        khi = klo + 1;
    }
    const double h = points[khi].*X - points[klo].*X;
    if (h == 0.0) {
        if (zeroWidth) *zeroWidth = true;
        return points[klo].*Y;
    }
    const double a = (points[khi].*X - x) / h;
    const double b = (x - points[klo].*X) / h;
    return a * points[klo].*Y + b * points[khi].*Y +
           ((a * a * a - a) * points[klo].*Y2 + (b * b * b - b) * points[khi].*Y2) * (h * h) / 6.0;
}

// splint() at each of the abscissae xs, into ys: the same values to the last bit. Ascending
// abscissae (a grid) walk from interval to interval and never search; an abscissa below the one
// before falls back to the bisection. cursor: where the walk stands, kept between calls.
template <class Record>
void splintAscending(std::span<const Record> points, std::span<const double> xs, double* ys, IntervalCursor& cursor) {
    constexpr auto X = Record::abscissa;
    constexpr auto Y = Record::ordinate;
    constexpr auto Y2 = Record::secondDerivative;
    const std::size_t n = points.size();
    if (n < 2) {
        for (std::size_t k = 0; k < xs.size(); ++k) ys[k] = splint(points, xs[k], nullptr, &cursor);
        return;
    }
    std::size_t klo = std::min(cursor.lower, n - 2);
    for (std::size_t k = 0; k < xs.size(); ++k) {
        // The bisection's interval: klo is 0 or not above x, klo + 1 the last record or above x.
        const double x = xs[k];
        if (klo > 0 && x < points[klo].*X) klo = splineInterval(points, x, static_cast<IntervalCursor*>(nullptr));
        // A grid about as fine as the records moves on by one interval at some values and not at
        // others, in no pattern a branch predictor could follow: that step is taken without a
        // branch, longer ones (rare) by the loop.
        klo += static_cast<std::size_t>(klo + 2 < n && !(x < points[klo + 1].*X));
        while (klo + 2 < n && !(x < points[klo + 1].*X)) ++klo;
        const Record& lo = points[klo];
        const Record& hi = points[klo + 1];
        const double h = hi.*X - lo.*X;
        if (h == 0.0) {
            ys[k] = lo.*Y;
            continue;
        }
        const double a = (hi.*X - x) / h;
        const double b = (x - lo.*X) / h;
        ys[k] = a * lo.*Y + b * hi.*Y + ((a * a * a - a) * lo.*Y2 + (b * b * b - b) * hi.*Y2) * (h * h) / 6.0;
    }
    cursor.lower = klo;
}

}  // namespace s2t
