#include "peaks/SymmetricSystem.h"

#include <cmath>

namespace s2t::peaks {
namespace {

// The lower triangle l with a = l l^T. A pivot that is not clearly positive (relative to the
// diagonal it came from) means a singular or indefinite matrix: the unknowns are not all fixed
// by the data.
bool cholesky(const std::vector<double>& a, std::size_t n, std::vector<double>& l) {
    l.assign(n * n, 0.0);
    for (std::size_t j = 0; j < n; ++j) {
        double diagonal = a[j * n + j];
        for (std::size_t k = 0; k < j; ++k) diagonal -= l[j * n + k] * l[j * n + k];
        if (!(diagonal > 1e-13 * std::fabs(a[j * n + j])) || !std::isfinite(diagonal)) return false;
        const double pivot = std::sqrt(diagonal);
        l[j * n + j] = pivot;
        for (std::size_t i = j + 1; i < n; ++i) {
            double sum = a[i * n + j];
            for (std::size_t k = 0; k < j; ++k) sum -= l[i * n + k] * l[j * n + k];
            l[i * n + j] = sum / pivot;
        }
    }
    return true;
}

void substitute(const std::vector<double>& l, std::size_t n, std::vector<double>& x) {
    for (std::size_t i = 0; i < n; ++i) {
        double sum = x[i];
        for (std::size_t k = 0; k < i; ++k) sum -= l[i * n + k] * x[k];
        x[i] = sum / l[i * n + i];
    }
    for (std::size_t i = n; i-- > 0;) {
        double sum = x[i];
        for (std::size_t k = i + 1; k < n; ++k) sum -= l[k * n + i] * x[k];
        x[i] = sum / l[i * n + i];
    }
}

}  // namespace

bool solveSymmetric(const std::vector<double>& a, const std::vector<double>& b, std::size_t n, std::vector<double>& x) {
    std::vector<double> l;
    if (!cholesky(a, n, l)) return false;
    x = b;
    substitute(l, n, x);
    return true;
}

bool invertSymmetric(const std::vector<double>& a, std::size_t n, std::vector<double>& inverse) {
    std::vector<double> l;
    if (!cholesky(a, n, l)) return false;
    inverse.assign(n * n, 0.0);
    std::vector<double> column(n);
    for (std::size_t j = 0; j < n; ++j) {
        column.assign(n, 0.0);
        column[j] = 1.0;
        substitute(l, n, column);
        for (std::size_t i = 0; i < n; ++i) inverse[i * n + j] = column[i];
    }
    return true;
}

}  // namespace s2t::peaks
