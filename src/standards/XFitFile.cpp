#include "standards/XFitFile.h"

#include <string>

#include "options/LineText.h"
#include "platform/Messages.h"
#include "platform/NumberText.h"

namespace s2t {
namespace {

bool isPlainListWord(const std::string& word) {
    for (char c : word)
        if (!((c >= '0' && c <= '9') || c == '.' || c == '\t')) return false;
    return true;
}

bool columnLabelAt(const std::string& header, std::size_t index) {
    std::string word;
    nextWord(header, word, ' ', index);
    return strCmp(word, "Th2") == 0;
}

}  // namespace

int findXFitType(TextFile& file) {
    file.rewind();
    std::string line, word;
    file.readLine(line);
    if (line.size() <= 32) {
        nextWord(line, word, ' ', 0);
        if (!isPlainListWord(word)) return kXFitUnrecognised;
        file.rewind();
        return 0;
    }
    if (columnLabelAt(line, 25)) return 23;
    if (columnLabelAt(line, 48)) return 42;
    return kXFitUnrecognised;
}

bool readXFitFile(TextFile& file, std::vector<double>& observed, int kind, Platform& platform) {
    observed.clear();
    if (kind != 0 && kind != 23 && kind != 42) {
        platform.messagePopup(messages::kNoPoints, messages::kXfitLayoutUnknown);
        return false;
    }
    file.rewind();
    std::string line, word;
    // The data lines follow the header line directly; an empty header ends the file as well.
    const bool headerRead = kind == 0 || file.readLine(line) > 0;
    while (headerRead && file.readLine(line) > 0) {
        nextWord(line, word, ' ', static_cast<std::size_t>(kind), line.size());
        observed.push_back(parseLeadingFiniteDouble(word));
    }
    if (observed.empty()) {
        platform.messagePopup(messages::kNoPoints, messages::kXfitWithoutPoints);
        return false;
    }
    return true;
}

std::string plainPeakFileText(std::span<const double> positions, LineEnd lineEnd) {
    std::string text;
    for (double position : positions) {
        appendFixed(text, position, 4);
        text.append(lineEndText(lineEnd));
    }
    return text;
}

}  // namespace s2t
