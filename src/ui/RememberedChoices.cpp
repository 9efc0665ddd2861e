#include "ui/RememberedChoices.h"

#include <cmath>

#include <QSettings>
#include <QString>

#include "engine/OutputFormats.h"
#include "ui/LineEndPreference.h"

namespace s2t::ui {
namespace {

// The output format is kept by its command-line name, which outlives any renumbering.
QString formatName(std::int32_t value) {
    const OutputFormatInfo* format = findOutputFormat(value);
    if (!format) return QString();
    return QString::fromUtf8(format->commandLineName.data(), static_cast<qsizetype>(format->commandLineName.size()));
}

std::optional<std::int32_t> formatNamed(const QString& name) {
    for (const OutputFormatInfo& format : outputFormats())
        if (!name.isEmpty() && formatName(format.value) == name) return format.value;
    return std::nullopt;
}

constexpr std::pair<ModeButton, const char*> kModeNames[] = {
    {ModeButton::Linear, "line"},
    {ModeButton::Spline, "spline"},
    {ModeButton::FileAngles, "fileAngles"},
    {ModeButton::Trailer, "storedLine"},
};

constexpr std::pair<CountScale, const char*> kScaleNames[] = {
    {CountScale::Linear, "linear"},
    {CountScale::SquareRoot, "squareRoot"},
    {CountScale::Log, "log"},
};

// A choice is stored by a name of its own, from one of the tables above, so that a stored file
// never depends on how the program numbers its choices.
template <class Choice, std::size_t N>
QString nameIn(const std::pair<Choice, const char*> (&table)[N], Choice choice) {
    for (const auto& [each, name] : table)
        if (each == choice) return QString::fromLatin1(name);
    return QString();
}

template <class Choice, std::size_t N>
std::optional<Choice> choiceNamed(const std::pair<Choice, const char*> (&table)[N], const QString& text) {
    for (const auto& [each, name] : table)
        if (text == QLatin1String(name)) return each;
    return std::nullopt;
}

// Values are written as text of their own, so that no QVariant encoding or locale stands between
// one start and the next.
QString numberString(double value) { return QString::number(value, 'g', 17); }

std::optional<double> finiteNumber(const QSettings& settings, const char* key) {
    bool ok = false;
    const double value = settings.value(key).toString().toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<bool> flag(const QSettings& settings, const char* key) {
    const QString text = settings.value(key).toString();
    if (text == QLatin1String("true")) return true;
    if (text == QLatin1String("false")) return false;
    return std::nullopt;
}

void putFlag(QSettings& settings, const char* key, const std::optional<bool>& value) {
    if (value) settings.setValue(key, *value ? QStringLiteral("true") : QStringLiteral("false"));
}

bool printableAscii(const QString& text) {
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() > 0x7E) return false;
    return true;
}

std::optional<ConstStepOptions> loadConstStep(const QSettings& settings) {
    const auto step = finiteNumber(settings, "constantStep/step");
    const QString method = settings.value("constantStep/method").toString();
    const auto fractional = flag(settings, "constantStep/fractionalCounts");
    // A step of 0 or below makes no grid and is never stored by the panel.
    if (!step || *step <= 0.0 || !fractional) return std::nullopt;
    if (method != QLatin1String("1") && method != QLatin1String("3")) return std::nullopt;
    return ConstStepOptions{*interpolationFromStored(method.toInt()), *fractional ? 1 : 0, *step};
}

std::optional<RangeOptions> loadRange(const QSettings& settings) {
    const auto minimum = finiteNumber(settings, "range/minTwoTheta");
    const auto maximum = finiteNumber(settings, "range/maxTwoTheta");
    if (!minimum || !maximum || *minimum > *maximum) return std::nullopt;
    return RangeOptions{*minimum, *maximum};
}

std::optional<CPIOptions> loadCpi(const QSettings& settings) {
    const QString target = settings.value("cpi/target").toString();
    const auto wavelength = finiteNumber(settings, "cpi/wavelength");
    if (!wavelength || *wavelength <= 0.0) return std::nullopt;
    if (target.size() > static_cast<qsizetype>(kMaxCpiTargetLength) || !printableAscii(target)) return std::nullopt;
    return CPIOptions{target.toStdString(), *wavelength};
}

}  // namespace

RememberedChoices loadRememberedChoices(const std::string& programFolder) {
    RememberedChoices choices;
    if (programFolder.empty()) return choices;
    // A damaged file reads as far as it can; what cannot be read is simply not there.
    const QSettings settings(QString::fromStdString(preferencesPath(programFolder)), QSettings::IniFormat);
    choices.windowGeometry = settings.value("window/geometry").toByteArray();
    choices.outputFormat = formatNamed(settings.value("output/format").toString());
    choices.wholeTwoTheta = flag(settings, "output/wholeTwoTheta");
    choices.constantStep = flag(settings, "output/constantStep");
    choices.limitRange = flag(settings, "output/limitRange");
    choices.perSecond = flag(settings, "output/countsPerSecond");
    choices.convertToTwoTheta = flag(settings, "conversion/toTwoTheta");
    choices.mode = choiceNamed(kModeNames, settings.value("conversion/mode").toString());
    choices.constStep = loadConstStep(settings);
    choices.range = loadRange(settings);
    choices.cpi = loadCpi(settings);
    choices.previewScale = choiceNamed(kScaleNames, settings.value("preview/scale").toString());
    // A standard that is no longer offered is simply not chosen again.
    if (settings.contains("preview/standard"))
        choices.previewStandard = settings.value("preview/standard").toString().toStdString();
    return choices;
}

bool saveRememberedChoices(const std::string& programFolder, const RememberedChoices& choices) {
    if (programFolder.empty()) return false;
    QSettings settings(QString::fromStdString(preferencesPath(programFolder)), QSettings::IniFormat);
    if (!choices.windowGeometry.isEmpty()) settings.setValue("window/geometry", choices.windowGeometry);
    if (choices.outputFormat) settings.setValue("output/format", formatName(*choices.outputFormat));
    putFlag(settings, "output/wholeTwoTheta", choices.wholeTwoTheta);
    putFlag(settings, "output/constantStep", choices.constantStep);
    putFlag(settings, "output/limitRange", choices.limitRange);
    putFlag(settings, "output/countsPerSecond", choices.perSecond);
    putFlag(settings, "conversion/toTwoTheta", choices.convertToTwoTheta);
    if (choices.mode) settings.setValue("conversion/mode", nameIn(kModeNames, *choices.mode));
    if (const auto& step = choices.constStep) {
        settings.setValue("constantStep/step", numberString(step->step));
        settings.setValue("constantStep/method",
                          QString::number(storedNumber(step->method == kSplineInterpolation ? kSplineInterpolation
                                                                                            : kLinearInterpolation)));
        putFlag(settings, "constantStep/fractionalCounts", step->fractionalCounts != 0);
    }
    if (const auto& range = choices.range) {
        settings.setValue("range/minTwoTheta", numberString(range->minTwoTheta));
        settings.setValue("range/maxTwoTheta", numberString(range->maxTwoTheta));
    }
    if (const auto& cpi = choices.cpi) {
        settings.setValue("cpi/target", QString::fromStdString(cpi->target));
        settings.setValue("cpi/wavelength", numberString(cpi->wavelength));
    }
    if (choices.previewScale) settings.setValue("preview/scale", nameIn(kScaleNames, *choices.previewScale));
    if (choices.previewStandard)
        settings.setValue("preview/standard", QString::fromStdString(*choices.previewStandard));
    settings.sync();
    return settings.status() == QSettings::NoError;
}

void rememberPanel(const MainPanelState& state, RememberedChoices& choices) {
    choices.outputFormat = state.outputFormat;
    choices.convertToTwoTheta = state.convertToTwoTheta.on;
    if (state.linearMode.on)
        choices.mode = ModeButton::Linear;
    else if (state.splineMode.on)
        choices.mode = ModeButton::Spline;
    else if (state.fileAnglesMode.on)
        choices.mode = ModeButton::FileAngles;
    else if (state.trailerMode.on)
        choices.mode = ModeButton::Trailer;
    choices.wholeTwoTheta = state.wholeTwoThetaBox.on;
    choices.constantStep = state.constantStepBox.on;
    choices.limitRange = state.limitRangeBox.on;
    choices.perSecond = state.perSecondBox.on;
}

void applyRememberedPanel(const RememberedChoices& choices, MainPanelState& state) {
    if (choices.outputFormat) {
        state.outputFormat = *choices.outputFormat;
        const std::string_view label = findOutputFormat(*choices.outputFormat)->label;
        state.outputFormatText.assign(label.begin(), label.end());
    }
    if (choices.convertToTwoTheta) state.convertToTwoTheta.on = *choices.convertToTwoTheta;
    if (choices.mode) {
        // Exactly one mode is on at any time.
        state.linearMode.on = *choices.mode == ModeButton::Linear;
        state.splineMode.on = *choices.mode == ModeButton::Spline;
        state.fileAnglesMode.on = *choices.mode == ModeButton::FileAngles;
        state.trailerMode.on = *choices.mode == ModeButton::Trailer;
    }
    if (choices.wholeTwoTheta) state.wholeTwoThetaBox.on = *choices.wholeTwoTheta;
    if (choices.constantStep) state.constantStepBox.on = *choices.constantStep;
    if (choices.limitRange) state.limitRangeBox.on = *choices.limitRange;
    if (choices.perSecond) state.perSecondBox.on = *choices.perSecond;
}

void rememberRecords(const ConversionSettings& settings, RememberedChoices& choices) {
    if (settings.constStepOpts.step > 0.0) choices.constStep = settings.constStepOpts;
    const RangeOptions& range = settings.theRangeOptions;
    if ((range.minTwoTheta != 0.0 || range.maxTwoTheta != 0.0) && range.minTwoTheta <= range.maxTwoTheta)
        choices.range = range;
    if (settings.CPIOpt.wavelength > 0.0) choices.cpi = settings.CPIOpt;
}

void applyRememberedRecords(const RememberedChoices& choices, ConversionSettings& settings) {
    if (choices.constStep) settings.constStepOpts = *choices.constStep;
    if (choices.range) settings.theRangeOptions = *choices.range;
    if (choices.cpi) settings.CPIOpt = *choices.cpi;
}

}  // namespace s2t::ui
