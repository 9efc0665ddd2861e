#include "AutoCalibrationReport.h"

#include <limits>

#include "platform/JsonWriter.h"
#include "platform/NumberText.h"

namespace s2t::cli {

std::string autoCalibrationText(const AutoCalibrationRun& run) {
    const auto& r = run.result;
    const auto& settings = run.settings;
    std::string text = "Standard: ";
    text.append(run.standardPath).append("\nScan: ").append(run.scanPath).append(" (");
    appendInteger(text, static_cast<long long>(run.channels));
    text += " channels)\nStart: K = ";
    appendFixed(text, settings.startK, 6);
    text += ", C = ";
    appendFixed(text, settings.startC, 8);
    text += "\nPeaks found: ";
    appendInteger(text, static_cast<long long>(r.peaks.size()));
    text += ", reflections matched: ";
    appendInteger(text, static_cast<long long>(r.pairs.size()));
    text += "\n";
    if (!r.pairs.empty()) {
        text += "     2-theta     channel   uncertainty   residual\n";
        // The end guards in their place among the pairs, marked: they are stored with them.
        auto guard = r.guards.begin();
        auto guardsUpTo = [&](double twoTheta) {
            for (; guard != r.guards.end() && guard->twoTheta <= twoTheta; ++guard) {
                appendFixed(text, guard->twoTheta, 4, 12);
                appendFixed(text, guard->channel, 4, 12);
                text += "     end guard\n";
            }
        };
        for (const auto& pair : r.pairs) {
            guardsUpTo(pair.twoTheta);
            appendFixed(text, pair.twoTheta, 4, 12);
            appendFixed(text, pair.channel, 4, 12);
            appendFixed(text, pair.sigmaChannel, 4, 14);
            if (r.ok) appendFixed(text, pair.twoTheta - (r.storedK + r.storedC * pair.channel), 5, 11);
            text += "\n";
        }
        guardsUpTo(std::numeric_limits<double>::infinity());
        if (!r.guards.empty())
            text +=
                "End guards are no reflections: they hold the stored spline's ends (not-a-knot between the pairs).\n";
    }
    if (!r.missedReflections.empty()) {
        text += "Reflections not found in the scan (2-theta):";
        for (double twoTheta : r.missedReflections) text.append(" ").append(formatFixed(twoTheta, 4));
        text += "\n";
    }
    if (!r.unmatchedPeaks.empty()) {
        text += "Peaks not matched (channel):";
        for (const auto& peak : r.unmatchedPeaks) text.append(" ").append(formatFixed(peak.channel, 1));
        text += "\n";
    }
    if (!r.ok) return text;
    text += "Fitted line (weighted): K = ";
    appendFixed(text, r.line.K, 6);
    text += " +- ";
    appendFixed(text, r.line.sigmaK, 6);
    text += ", C = ";
    appendFixed(text, r.line.C, 9);
    text += " +- ";
    appendFixed(text, r.line.sigmaC, 9);
    text += "\nRMS residual: ";
    appendFixed(text, r.line.rms, 5);
    text += " degrees\nStored: K = ";
    appendFixed(text, r.storedK, 6);
    text += ", C = ";
    appendFixed(text, r.storedC, 6);
    text += " (residuals above are from this line)\n";
    return text;
}

std::string autoCalibrationJson(const AutoCalibrationRun& run, const std::string& optionFile,
                                const std::string& peakFile) {
    const auto& r = run.result;
    JsonWriter json;
    json.beginObject();
    json.key("standard").string(run.standardPath);
    json.key("scan").string(run.scanPath);
    json.key("channels").integer(static_cast<long long>(run.channels));
    json.key("start").beginObject().key("K").fixed(run.settings.startK, 6).key("C").fixed(run.settings.startC, 8);
    json.endObject();
    json.key("peaksFound").integer(static_cast<long long>(r.peaks.size()));
    json.key("pairs").beginArray();
    for (const auto& pair : r.pairs) {
        json.beginObject();
        json.key("twoTheta").fixed(pair.twoTheta, 4);
        json.key("channel").fixed(pair.channel, 4);
        json.key("uncertainty").fixed(pair.sigmaChannel, 4);
        json.key("residual").fixed(pair.twoTheta - (r.storedK + r.storedC * pair.channel), 5);
        json.endObject();
    }
    json.endArray();
    json.key("endGuards").beginArray();
    for (const auto& guard : r.guards) {
        json.beginObject();
        json.key("twoTheta").fixed(guard.twoTheta, 4);
        json.key("channel").fixed(guard.channel, 4);
        json.endObject();
    }
    json.endArray();
    json.key("reflectionsNotFound").beginArray();
    for (double twoTheta : r.missedReflections) json.fixed(twoTheta, 4);
    json.endArray();
    json.key("peaksNotMatched").beginArray();
    for (const auto& peak : r.unmatchedPeaks) json.fixed(peak.channel, 1);
    json.endArray();
    json.key("fitted").beginObject();
    json.key("K").fixed(r.line.K, 6).key("sigmaK").fixed(r.line.sigmaK, 6);
    json.key("C").fixed(r.line.C, 9).key("sigmaC").fixed(r.line.sigmaC, 9);
    json.key("rms").fixed(r.line.rms, 5);
    json.endObject();
    json.key("K").fixed(r.storedK, 6);
    json.key("C").fixed(r.storedC, 6);
    json.key("optionFile").string(optionFile);
    if (peakFile.empty())
        json.key("peakFile").null();
    else
        json.key("peakFile").string(peakFile);
    return json.endObject().text();
}

}  // namespace s2t::cli
