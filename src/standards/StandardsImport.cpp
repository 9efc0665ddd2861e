#include "standards/StandardsImport.h"

#include "options/TextFile.h"
#include "standards/StandardFile.h"
#include "standards/XFitFile.h"

namespace s2t {
namespace {

void reportStandardNotOpened(Platform& platform) {
    platform.messagePopup("File Error", "Couldn't Open standered File. You may have it open or it my not exist.");
}

}  // namespace

bool importStandardAndPeaks(const std::string& standardPath, const std::string& xfitPath,
                            StandardsImport& data, Platform& platform) {
    TextFile xfit(xfitPath);
    if (!xfit.isOpen()) {
        platform.messagePopup("File Error",
                              "Couldn't Open Xfit File. You may have it open or it my not exist.");
        return false;
    }
    TextFile standardFile(standardPath);
    if (!standardFile.isOpen()) {
        reportStandardNotOpened(platform);
        return false;
    }
    data.observedSigma.clear();
    if (!getStandardPoints(standardFile, data.standard, platform) ||
        !readXFitFile(xfit, data.observed, findXFitType(xfit), platform)) {
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
