#include "FuzzSupport.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "calibration/Spline.h"

namespace s2t::fuzz {

InputFile::InputFile() {
    fd_ = ::memfd_create("fuzz-input", MFD_CLOEXEC);
    if (fd_ < 0) {
        std::perror("memfd_create");
        std::abort();
    }
    path_ = "/proc/self/fd/" + std::to_string(fd_);
}

InputFile::~InputFile() {
    if (fd_ >= 0) ::close(fd_);
}

void InputFile::assign(const std::uint8_t* data, std::size_t size) {
    if (::ftruncate(fd_, 0) != 0) std::abort();
    std::size_t done = 0;
    while (done < size) {
        const ssize_t written = ::pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
        if (written <= 0) std::abort();
        done += static_cast<std::size_t>(written);
    }
}

InputFile& inputFile() {
    static InputFile file;
    return file;
}

void fail(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: property broken: %s\n", file, line, what);
    std::abort();
}

double ByteReader::finite(double fallback) {
    const std::uint64_t bits = uint64();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return std::isfinite(value) ? value : fallback;
}

std::size_t lineFeeds(const std::uint8_t* data, std::size_t size) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < size; ++i) count += data[i] == '\n';
    return count;
}

ReadResult runReader(std::int32_t fileType, Conversion conversion) {
    static const CalibrationState calibration = [] {
        CalibrationState state;
        state.installStartupValues();
        spline(std::span<CalibrationPoint>(state.calPoints), true);
        return state;
    }();
    ConversionRequest request;
    request.inputFile = inputFile().path();
    request.fileType = fileType;
    request.conversion = conversion;
    ReadResult read = readAsFormat(findInputFormat(fileType), request, calibration);
    S2T_FUZZ_CHECK(read.messages.size() == (read ? 0u : 1u));
    return read;
}

bool holdsNonFiniteText(std::string_view text) {
    return text.find("nan") != std::string_view::npos || text.find("inf") != std::string_view::npos;
}

}  // namespace s2t::fuzz
