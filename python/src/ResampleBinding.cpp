// scan2theta.resample: counts onto a constant 2-theta step by the output pass of the writers, so
// that the grid and every value are those of `scan2theta convert -s STEP --fractional-counts`.
#include <pybind11/stl.h>

#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "Bindings.h"
#include "MessageCapture.h"
#include "engine/OutputPass.h"
#include "platform/ConsolePlatform.h"

namespace s2t::python {
namespace {

using InputArray = py::array_t<double, py::array::c_style | py::array::forcecast>;

// A vector handed to numpy whole: the array owns it from then on.
py::array_t<double> arrayTaking(std::vector<double>&& values) {
    auto* owned = new std::vector<double>(std::move(values));
    py::capsule release(owned, [](void* p) { delete static_cast<std::vector<double>*>(p); });
    return py::array_t<double>(static_cast<py::ssize_t>(owned->size()), owned->data(), release);
}

std::pair<py::array_t<double>, py::array_t<double>> resample(const InputArray& twoTheta, const InputArray& counts,
                                                             double step, const std::string& method,
                                                             const std::optional<std::pair<double, double>>& range) {
    if (twoTheta.ndim() != 1 || counts.ndim() != 1 || twoTheta.size() != counts.size())
        raiseValueError("two_theta and counts must be one-dimensional and of one length");
    if (!(step > 0.0) || !std::isfinite(step)) raiseValueError("step: must be a finite number greater than 0");
    ConversionRequest request;
    request.inputFile = "the scan";
    request.options = kConstantStep | kFractionalCounts;
    ConversionSettings settings;
    settings.constStepOpts.fractionalCounts = 1;
    settings.constStepOpts.step = step;
    if (method == "linear")
        settings.constStepOpts.method = kLinearInterpolation;
    else if (method == "spline")
        settings.constStepOpts.method = kSplineInterpolation;
    else
        raiseValueError("method: '" + method + "' is none of linear, spline");
    if (range) {
        const auto [low, high] = *range;
        if (!std::isfinite(low) || !std::isfinite(high)) raiseValueError("range: the limits must be finite numbers");
        if (low > high) raiseValueError("range: MIN is greater than MAX");
        request.options |= kRangeLimits;
        settings.theRangeOptions = {low, high};
    }

    Scan scan;
    scan.points.resize(static_cast<std::size_t>(twoTheta.size()));
    const double* x = twoTheta.data();
    const double* y = counts.data();
    std::vector<double> gridTwoTheta, gridCounts;
    MessageCapture messages;
    bool resampled = false;
    {
        py::gil_scoped_release unlocked;
        for (std::size_t i = 0; i < scan.points.size(); ++i) scan.points[i] = {x[i], y[i], 0.0};
        ConsolePlatform platform(ConfirmPolicy::AlwaysNo, false, messages.file());
        if (auto grid = chooseGrid(scan, request, settings, platform)) {
            gridTwoTheta.reserve(static_cast<std::size_t>(grid->count));
            gridCounts.reserve(static_cast<std::size_t>(grid->count));
            walkGrid(*grid, scan, request, settings, [&](long long, double gx, double gy) {
                gridTwoTheta.push_back(gx);
                gridCounts.push_back(gy);
            });
            resampled = true;
        }
    }
    if (!resampled) raiseValueError(messages.text());
    return {arrayTaking(std::move(gridTwoTheta)), arrayTaking(std::move(gridCounts))};
}

}  // namespace

void addResampling(py::module_& module) {
    module.def("resample", &resample, py::arg("two_theta"), py::arg("counts"), py::arg("step"),
               py::arg("method") = "linear", py::arg("range") = py::none(),
               "resample(two_theta, counts, step, method='linear', range=None) -> (grid, counts)\n\n"
               "The counts at a constant 2-theta step, as `scan2theta convert -s STEP --fractional-counts` "
               "computes them: the grid starts at the lowest 2-theta (or at range's MIN, if higher) and takes "
               "the whole number of steps that fit in the span cut to whole degrees; method 'linear' "
               "interpolates between neighbours, 'spline' through the cubic spline of the scan; range=(MIN, "
               "MAX) keeps the grid points from MIN to MAX. The points may come in any order. Counts are "
               "returned as computed, not rounded.");
}

}  // namespace s2t::python
