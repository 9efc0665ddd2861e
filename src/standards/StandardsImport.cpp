#include "standards/StandardsImport.h"

#include "options/TextFile.h"
#include "platform/Messages.h"
#include "standards/StandardFile.h"
#include "standards/XFitFile.h"

namespace s2t {
namespace {

void reportStandardNotOpened(Platform& platform) {
    platform.messagePopup(messages::kFileError, messages::kStandardNotOpened);
}

}  // namespace

bool importStandardAndPeaks(const std::string& standardPath, const std::string& xfitPath, StandardsImport& data,
                            Platform& platform) {
    TextFile xfit(xfitPath);
    if (!xfit.isOpen()) {
        platform.messagePopup(messages::kFileError, messages::kXfitNotOpened);
        return false;
    }
    TextFile standardFile(standardPath);
    if (!standardFile.isOpen()) {
        reportStandardNotOpened(platform);
        return false;
    }
    // A file larger than any standard or peak file (an endless pipe, a device) is refused whole:
    // at once when its size says so, after reading when it never ended.
    auto refusedAsTooLarge = [&] {
        const std::string* path = standardFile.tooLarge() ? &standardPath : xfit.tooLarge() ? &xfitPath : nullptr;
        if (path) platform.messagePopup(messages::kFileError, messages::fileTooLarge(*path));
        return path != nullptr;
    };
    data.observedSigma.clear();
    data.endGuards.clear();
    if (refusedAsTooLarge()) {
        data.clear();
        return false;
    }
    const bool read = getStandardPoints(standardFile, data.standard, platform) &&
                      readXFitFile(xfit, data.observed, findXFitType(xfit), platform);
    const bool refused = refusedAsTooLarge();
    if (!read || refused) {
        data.clear();
        return false;
    }
    return true;
}

}  // namespace s2t

namespace s2t {

bool readStandard(const std::string& standardPath, std::vector<double>& standard, Platform& platform) {
    TextFile file(standardPath);
    if (!file.isOpen()) {
        reportStandardNotOpened(platform);
        return false;
    }
    return getStandardPoints(file, standard, platform);
}

}  // namespace s2t
