// Builders of input files for the tests: MCA channel files and GUFI binary scans as bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace s2t::test {

// Announce as many values as are given.
inline constexpr int kCountOfValues = -2147483647 - 1;

// n counts that vary from channel to channel: 100, 137, 124, 111, ...
std::vector<std::int32_t> varyingCounts(int n);

// An MCA channel file: signature FF FF, firstChannel at 28, numChannels at 30 (the number of
// counts unless given), the counts, then trailer bytes.
std::string chnBytes(std::int16_t firstChannel, const std::vector<std::int32_t>& counts,
                     const std::string& trailer = "", int numChannels = kCountOfValues);

// A GUFI file: firstAngle at 9, angleStep at 13, numPoints at 17, counts from 643. Unread header
// bytes hold junk when junk is set, zeros otherwise.
std::string gufiBytes(float firstAngle, float angleStep, const std::vector<float>& counts, bool junk = false,
                      int numPoints = kCountOfValues);

}  // namespace s2t::test
