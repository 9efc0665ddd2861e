// GUFI binary scans on output: the constant-step grid as the XFIT writer walks it, stored as a
// 643-byte header (first angle, step and value count; every other byte 0) followed by one
// little-endian float count per value, so that the GUFI reader reads it back unchanged.
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "engine/OutputPass.h"
#include "engine/Writers.h"
#include "platform/Messages.h"

namespace s2t {
namespace {

constexpr std::size_t kGufiHeaderSize = 643;
constexpr std::size_t kMaxGufiValues = 32767;

// Whether v can be stored as a 32-bit float (3.4e38 at most) without becoming infinite.
bool fitsFloat(double v) { return std::fabs(v) <= std::numeric_limits<float>::max(); }

void putUint32(std::string& out, std::size_t at, std::uint32_t v) {
    for (int b = 0; b < 4; ++b) out[at + b] = static_cast<char>((v >> (8 * b)) & 0xFF);
}

void putFloat(std::string& out, std::size_t at, float v) { putUint32(out, at, std::bit_cast<std::uint32_t>(v)); }

}  // namespace

bool writeGUFIFile(const ConversionRequest& request, Scan& scan, Session& session, Platform& platform) {
    HeaderRange range;
    double step = 0.0;
    std::vector<float> counts;
    bool fits = true;
    return runOutputPass(
        request, scan, session, platform, "guf",
        [&](OutputStream&, const HeaderRange& header, const Grid& grid) {
            range = header;
            step = grid.step;
        },
        [&](char* at, long long, double, double y) {
            fits = fits && fitsFloat(y);
            if (fits && counts.size() <= kMaxGufiValues) counts.push_back(static_cast<float>(y));
            return at;  // the counts are written in binary once all are known
        },
        [&](OutputStream& stream, OutputTarget& target) {
            if (counts.size() > kMaxGufiValues) {
                target.refuse(messages::kGufiTooManyValues);
                return false;
            }
            // A value beyond the float range would be stored as infinity, and the file could not
            // be read back.
            if (!fits || !fitsFloat(range.first) || !fitsFloat(step)) {
                target.refuse(messages::kGufiBeyondFloat);
                return false;
            }
            std::string& out = stream.buffer();
            const std::size_t at = out.size();
            out.resize(at + kGufiHeaderSize + 4 * counts.size(), '\0');
            putFloat(out, at + 9, static_cast<float>(range.first));
            putFloat(out, at + 13, static_cast<float>(step));
            const auto numPoints = static_cast<std::uint16_t>(counts.size());
            out[at + 17] = static_cast<char>(numPoints & 0xFF);
            out[at + 18] = static_cast<char>(numPoints >> 8);
            for (std::size_t i = 0; i < counts.size(); ++i) putFloat(out, at + kGufiHeaderSize + 4 * i, counts[i]);
            return true;
        });
}

}  // namespace s2t
