// MCA channel files: a 32-byte header (signature -1, first channel at 28, channel count at 30)
// followed by one little-endian 32-bit count per channel. The trailer record after the last count
// is read for what it says of the measurement only: its absence or damage never changes how the
// counts are read or whether the file is read (a conversion by the line it stores refuses the file
// when it stores none; see ScanMapping.h).
#include <array>
#include <vector>

#include "engine/BinaryInput.h"
#include "engine/ChnMetadata.h"
#include "engine/ReaderMessages.h"
#include "engine/ScanReaders.h"
#include "platform/Messages.h"

namespace s2t {
namespace {

constexpr long long kHeaderSize = 32;

}  // namespace

ReadResult readMCAFile(const ConversionRequest& request) {
    const std::string& path = request.inputFile;
    BinaryInput input(path);
    if (!input.isOpen()) return unopenableInput(path);
    ChnHeader header;
    const std::size_t got = input.read(header.bytes.data(), header.bytes.size());
    if (got < 2 || header.signature() != -1) return ReadResult::failure(messages::kError, messages::notAChnFile(path));
    const int channels = header.numChannels();
    // A short header, a negative count, or fewer count bytes than announced: nothing is
    // allocated for counts the file cannot hold.
    if (got < header.bytes.size() || channels < 0 || (input.size() >= 0 && input.size() < kHeaderSize + 4LL * channels))
        return corruptedInput(path);
    std::vector<unsigned char> counts(4 * static_cast<std::size_t>(channels));
    if (input.read(counts.data(), counts.size()) != counts.size()) return corruptedInput(path);

    // Only a file of known size gives its trailer: from a pipe, whose writer may keep it open,
    // the reader never waits for more than the counts.
    std::array<unsigned char, kChnTrailerSize> trailer;
    const std::size_t trailerSize = input.size() >= 0 ? input.read(trailer.data(), trailer.size()) : 0;

    ReadResult read;
    read.scan.points.resize(static_cast<std::size_t>(channels));
    for (std::size_t i = 0; i < read.scan.points.size(); ++i)
        read.scan.points[i].count = static_cast<double>(int32At(&counts[4 * i]));
    read.scan.ownAngles = false;
    read.scan.chnHeader = header;
    read.scan.metadata = readChnMetadata(header, std::span<const unsigned char>(trailer.data(), trailerSize));
    read.abscissae = {0.0, 1.0, std::nullopt};
    read.startAngle = header.firstChannel();
    read.inputStep = 1.0;
    return read;
}

}  // namespace s2t
