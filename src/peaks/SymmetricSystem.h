// Small dense symmetric positive definite systems, as the least-squares fits meet them: the
// normal equations of a peak profile (a few dozen unknowns at most). Row-major n x n storage.
#pragma once

#include <cstddef>
#include <vector>

namespace s2t::peaks {

// Solves a x = b for a symmetric positive definite a by Cholesky decomposition. False (x left
// as it was) when a is not positive definite to working precision.
bool solveSymmetric(const std::vector<double>& a, const std::vector<double>& b, std::size_t n, std::vector<double>& x);

// The inverse of a symmetric positive definite a; false when a is not positive definite.
bool invertSymmetric(const std::vector<double>& a, std::size_t n, std::vector<double>& inverse);

}  // namespace s2t::peaks
