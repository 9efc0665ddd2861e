// The calibration from a scan of a standard on any scan and any settings the command line or the
// desktop program lets through: it never crashes or hangs, and a calibration it calls good is one
// an option file can hold and give back. A refused one says why.
//
// The input's first bytes choose the settings (decoded below, in order); the rest make the scan:
// either the counts themselves, or a scan of the standard's peaks drawn with a hidden true line,
// both then changed by edits (spikes, zero runs, flat runs, values near the reader's limits).
#include <algorithm>
#include <cmath>
#include <span>

#include "FuzzSupport.h"
#include "options/OptionFile.h"
#include "options/TextFile.h"
#include "peaks/AutoCalibration.h"
#include "peaks/EndGuards.h"
#include "platform/NumberText.h"
#include "platform/ScriptedPlatform.h"
#include "standards/ShippedStandards.h"
#include "standards/StandardFile.h"
#include "standards/StandardMaker.h"

using namespace s2t;

namespace {

constexpr std::size_t kMostChannels = 32767;  // the most a channel file announces

// The reflections of every shipped standard, read as the command reads them.
const std::vector<std::vector<double>>& shippedReflections() {
    static const std::vector<std::vector<double>> lists = [] {
        std::vector<std::vector<double>> out;
        for (const ShippedFile& shipped : shippedStandards()) {
            fuzz::inputFile().assign(reinterpret_cast<const std::uint8_t*>(shipped.contents.data()),
                                     shipped.contents.size());
            TextFile file(fuzz::inputFile().path());
            ScriptedPlatform platform;
            std::vector<double> reflections;
            if (!getStandardPoints(file, reflections, platform)) std::abort();
            out.push_back(std::move(reflections));
        }
        return out;
    }();
    return lists;
}

// A count as a reader gives it: a channel file's signed 32-bit count, the same bits taken as
// unsigned (up to 2^32, as another writer might mean them), or a GUFI file's finite float.
double countFrom(fuzz::ByteReader& in, std::uint8_t kind) {
    const std::uint32_t bits = in.uint32();
    switch (kind % 3) {
    case 0: return static_cast<double>(static_cast<std::int32_t>(bits));
    case 1: return static_cast<double>(bits);
    default: {
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return std::isfinite(value) ? value : 0.0;
    }
    }
}

// A scan of the reflections under the line twoTheta = K + C x channel: a sloping background and
// each reflection's doublet (alpha2 at ratio), with heights from the input.
std::vector<double> drawnScan(std::size_t channels, std::span<const double> reflections, double K, double C,
                              const peaks::AutoCalibrationSettings& settings, double width, fuzz::ByteReader& in) {
    std::vector<double> counts(channels);
    const double background = in.byte() * 4.0;
    for (std::size_t i = 0; i < channels; ++i) counts[i] = background * (1.0 + 0.3 * i / channels);
    auto addLine = [&](double centre, double height) {
        if (channels == 0 || !(centre > -50.0 && centre < channels + 50.0)) return;
        const auto low = static_cast<std::ptrdiff_t>(std::max(0.0, centre - 8 * width));
        const auto high = static_cast<std::ptrdiff_t>(std::min<double>(channels - 1, centre + 8 * width));
        for (std::ptrdiff_t i = low; i <= high; ++i) {
            const double x = (i - centre) / width;
            counts[static_cast<std::size_t>(i)] += height / (1.0 + x * x);
        }
    };
    for (double twoTheta : reflections) {
        const double height = 50.0 * (1 + in.byte());
        const double channel = (twoTheta - K) / C;
        addLine(channel, height);
        if (settings.alpha2Wavelength > 0.0) {
            const double alpha2 = peaks::alpha2TwoTheta(twoTheta, settings.wavelength, settings.alpha2Wavelength);
            if (std::isfinite(alpha2)) addLine((alpha2 - K) / C, height * settings.alpha2Ratio);
        }
    }
    for (double& count : counts) count = std::round(count);
    return counts;
}

void checkFinite(double value) { S2T_FUZZ_CHECK(std::isfinite(value)); }

// What a good calibration must be: finite everywhere, pairs ascending with real uncertainties,
// and an option file that gives back the very values stored.
void checkGood(const peaks::AutoCalibrationResult& result, std::span<const double> reflections) {
    S2T_FUZZ_CHECK(result.refusal.empty());
    S2T_FUZZ_CHECK(result.pairs.size() >= peaks::kMinimumPairs);
    S2T_FUZZ_CHECK(result.line.ok);
    for (double v :
         {result.line.K, result.line.C, result.line.sigmaK, result.line.sigmaC, result.line.covarianceKC,
          result.line.chiSquare, result.line.reducedChiSquare, result.line.rms, result.storedK, result.storedC})
        checkFinite(v);
    S2T_FUZZ_CHECK(result.line.sigmaK > 0.0 && result.line.sigmaC > 0.0);
    S2T_FUZZ_CHECK(result.storedC != 0.0);
    for (std::size_t i = 0; i < result.pairs.size(); ++i) {
        const auto& pair = result.pairs[i];
        for (double v :
             {pair.twoTheta, pair.channel, pair.sigmaChannel, pair.residual, pair.height, pair.fwhm, pair.alpha2Offset})
            checkFinite(v);
        S2T_FUZZ_CHECK(pair.sigmaChannel > 0.0 && pair.fwhm > 0.0 && pair.height > 0.0);
        S2T_FUZZ_CHECK(std::find(reflections.begin(), reflections.end(), pair.twoTheta) != reflections.end());
        if (i > 0) S2T_FUZZ_CHECK(result.pairs[i - 1].twoTheta < pair.twoTheta);
    }
    for (const auto& guard : result.guards) {
        checkFinite(guard.channel);
        checkFinite(guard.twoTheta);
    }
    for (double missed : result.missedReflections) checkFinite(missed);
    for (const auto& peak : result.peaks) {
        for (double v : {peak.channel, peak.height, peak.fwhm, peak.significance}) checkFinite(v);
    }

    // The points as stored: one per channel, ascending, each a distinct channel for the spline.
    const std::vector<CalibrationPoint> stored = peaks::storedCalibrationPoints(result);
    S2T_FUZZ_CHECK(stored.size() == result.pairs.size() + result.guards.size());
    for (std::size_t i = 1; i < stored.size(); ++i) S2T_FUZZ_CHECK(stored[i - 1].channel < stored[i].channel);

    CalibrationState state;
    state.header.K = result.storedK;
    state.header.C = result.storedC;
    state.calPoints = stored;
    for (LineEnd lineEnd : {LineEnd::CrLf, LineEnd::Lf}) {
        const std::string text = optionFileText(state, lineEnd);
        S2T_FUZZ_CHECK(!fuzz::holdsNonFiniteText(text));
        fuzz::inputFile().assign(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
        CalibrationState reread;
        ScriptedPlatform quiet;
        S2T_FUZZ_CHECK(loadOptionFile(fuzz::inputFile().path(), reread, quiet));
        S2T_FUZZ_CHECK(quiet.messages().empty());
        S2T_FUZZ_CHECK(reread.header.K == result.storedK && reread.header.C == result.storedC);
        S2T_FUZZ_CHECK(reread.calPoints.size() == stored.size());
        for (std::size_t i = 0; i < stored.size(); ++i)
            S2T_FUZZ_CHECK(reread.calPoints[i].channel == stored[i].channel &&
                           reread.calPoints[i].twoTheta == stored[i].twoTheta);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ByteReader in(data, size);
    const std::uint8_t flags = in.byte();
    const std::uint8_t ticks = in.byte();  // the pairs left ticked in the window, the first eight

    // Radiation: Cu K-alpha as shipped, or any the command line takes (above 0, finite; alpha2
    // none or above 0; a ratio not below 0).
    peaks::AutoCalibrationSettings settings;
    if (flags & 1) {
        settings.wavelength = std::fabs(in.finite(peaks::kCuKAlpha1));
        if (!(settings.wavelength > 0.0)) settings.wavelength = peaks::kCuKAlpha1;
        settings.alpha2Wavelength = std::fabs(in.finite(0.0));
        settings.alpha2Ratio = std::fabs(in.finite(0.5));
    }
    if (flags & 2) settings.alpha2Wavelength = 0.0;

    // The standard: a shipped one, the maker's reflections of a material for the wavelength, or a
    // short list of any finite numbers (a hand-edited file reads text that is no number as 0).
    std::vector<double> reflections;
    const std::uint8_t standard = in.byte();
    const auto& shipped = shippedReflections();
    if (standard < 128) {
        reflections = shipped[standard % shipped.size()];
    } else if (standard < 192) {
        const auto materials = referenceMaterials();
        for (const auto& text : reflectionAngleTexts(materials[standard % materials.size()], settings.wavelength))
            reflections.push_back(parseLeadingDouble(text));
    } else {
        const std::size_t count = in.byte() % 48;
        for (std::size_t i = 0; i < count; ++i)
            reflections.push_back((standard & 1) ? in.finite() : 10.0 + in.uint16() / 400.0);
    }

    // The start: near the built-in line (a little off, as a real instrument is), or anywhere.
    // A start slope of 0 is refused by the command and replaced by the built-in one in the window.
    const std::uint8_t start = in.byte();
    if (start & 1) {
        settings.startK = in.finite();
        settings.startC = in.finite();
    } else {
        settings.startK = kStartupK + static_cast<std::int8_t>(in.byte()) / 40.0;
        settings.startC = kStartupC * (1.0 + static_cast<std::int8_t>(in.byte()) / 1000.0);
    }
    if (settings.startC == 0.0) settings.startC = kStartupC;

    // Half the inputs are scans of at most 4096 channels: a scan of 32767 takes seconds under the
    // sanitizers, and the fuzzer would otherwise spend most of its time on them.
    const std::uint16_t length = in.uint16();
    const std::size_t channels = length & 0x8000 ? length & kMostChannels : length % 4097;
    std::vector<double> counts;
    if (flags & 4) {
        // A scan of the standard drawn with a true line near the start.
        const double trueK = settings.startK + static_cast<std::int8_t>(in.byte()) / 80.0;
        const double trueC = settings.startC * (1.0 + static_cast<std::int8_t>(in.byte()) / 4000.0);
        const double width = 0.5 + in.byte() / 16.0;
        counts = drawnScan(channels, reflections, trueK, trueC, settings, width, in);
    } else {
        const std::uint8_t kind = in.byte();
        counts.resize(channels);
        for (double& count : counts) {
            if (in.restSize() == 0) break;
            count = countFrom(in, kind);
        }
    }
    // Edits: a run of channels set to one value (a spike for a run of one, a dead stretch for 0).
    while (in.restSize() > 0 && !counts.empty()) {
        const std::size_t at = in.uint16() % counts.size();
        const std::size_t run = std::min<std::size_t>(in.byte(), counts.size() - at);
        const std::uint8_t kind = in.byte();
        const double value = countFrom(in, kind);
        std::fill_n(counts.begin() + static_cast<std::ptrdiff_t>(at), std::max<std::size_t>(run, 1), value);
    }

    const peaks::AutoCalibrationResult result = peaks::calibrateFromScan(counts, reflections, settings);
    if (!result.ok) {
        S2T_FUZZ_CHECK(!result.refusal.empty());
        return 0;
    }
    checkGood(result, reflections);

    // The desktop program lets the user untick pairs and computes the guards again for the rest.
    std::vector<peaks::MatchedReflection> ticked;
    for (std::size_t i = 0; i < result.pairs.size(); ++i)
        if (i >= 8 || !(ticks >> i & 1)) ticked.push_back(result.pairs[i]);
    for (const auto& guard : peaks::endGuards(peaks::pairsAsStored(ticked), counts.size())) {
        checkFinite(guard.channel);
        checkFinite(guard.twoTheta);
    }
    return 0;
}
