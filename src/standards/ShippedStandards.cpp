#include "standards/ShippedStandards.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/ProgramFolder.h"

namespace s2t {

const std::vector<ShippedFile>& shippedStandards() {
    static const std::vector<ShippedFile> files = {
#include "ShippedStandardsData.inc"
    };
    return files;
}

bool prepareProgramFolder(const std::string& folder, std::string& error) {
    if (!ensureDirectory(folder, error)) return false;
    const std::string standards = folder + "/Standards";
    std::error_code code;
    if (std::filesystem::exists(standards, code)) return true;
    if (!ensureDirectory(standards, error)) return true;  // the calibration still works without it
    for (const ShippedFile& file : shippedStandards()) {
        std::ofstream out(standards + "/" + std::string(file.name), std::ios::binary);
        out.write(file.contents.data(), static_cast<std::streamsize>(file.contents.size()));
    }
    return true;
}

}  // namespace s2t
