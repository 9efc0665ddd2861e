#include "standards/StandardFile.h"

#include "options/LineText.h"
#include "platform/Messages.h"
#include "platform/NumberText.h"

namespace s2t {

bool getNameOfStd(std::string_view line, std::string& name) {
    std::string word;
    const std::size_t keyEnd = nextWord(line, word, ' ', 0);
    if (strCmp(word, "name") != 0 && strCmp(word, "name=") != 0) return false;
    // The first call takes the text up to the opening quote, the second the quoted name.
    const std::size_t quote = nextWord(line, word, '\'', keyEnd);
    nextWord(line, name, '\'', quote);
    return true;
}

bool getStandardPoints(TextFile& file, std::vector<double>& standard, Platform& platform) {
    file.rewind();
    std::string line, word;
    long length;
    do {
        length = file.readLine(line);
        nextWord(line, word, ' ', 0);
    } while (length != -1 && strCmp(word, "DATA") != 0);
    if (length <= 0) {
        standard.clear();
        platform.messagePopup(messages::kNoPoints, messages::kStandardWithoutPoints);
        return false;
    }
    standard.clear();
    while (file.readLine(line) > 0) {
        nextWord(line, word, ' ', 0);
        standard.push_back(parseLeadingFiniteDouble(word));
    }
    return true;
}

}  // namespace s2t
