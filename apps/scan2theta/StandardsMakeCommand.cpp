// scan2theta standards make: a standard file of a shipped reference material for another
// wavelength (another anode), written as the shipped files are.
#include <memory>

#include "Cli.h"
#include "CliMessages.h"
#include "peaks/AutoCalibration.h"
#include "platform/ConsolePlatform.h"
#include "platform/FileSystem.h"
#include "platform/NumberText.h"
#include "standards/StandardMaker.h"

namespace s2t::cli {
namespace {

struct MakeArguments {
    std::string material, wavelength, output, lineEnd = "crlf";
};

std::string materialNames() {
    std::string names;
    for (const auto& material : referenceMaterials()) names.append(names.empty() ? "" : ", ").append(material.name);
    return names;
}

std::string anodeNames() {
    std::string names;
    for (const auto& anode : anodes()) names.append(names.empty() ? "" : ", ").append(anode.name);
    return names;
}

int makeStandard(const MakeArguments& a) {
    const ReferenceMaterial* material = findReferenceMaterial(a.material);
    if (!material) return usageError(messages::notAMaterial(a.material, materialNames()));
    double wavelength = 0.0;
    if (const Anode* anode = findAnode(a.wavelength))
        wavelength = anode->alpha1;
    else if (!parseWholeDouble(a.wavelength, wavelength) || !(wavelength > 0.0))
        return usageError(messages::notAWavelengthOrAnode(a.wavelength, anodeNames()));
    if (!canMakeStandard(*material, wavelength))
        return usageError(messages::wavelengthTooShort(a.wavelength, material->name, kHighestMillerIndex));
    // Write no standard that "calibration auto" would refuse: so many reflections match any line
    // by chance, and pairing them all costs minutes.
    const std::size_t reflections = reflectionAngleTexts(*material, wavelength).size();
    if (reflections > peaks::kMostReflections)
        return usageError(
            messages::tooManyReflections(a.wavelength, material->name, reflections, peaks::kMostReflections));
    ConsolePlatform platform;
    const LineEnd lineEnd = a.lineEnd == "lf" ? LineEnd::Lf : LineEnd::CrLf;
    auto file = platform.fileSystem().createOutputFile(a.output, ExistingFile::Replace);
    if (file) {
        OutputStream out(*file);
        out.append(standardFileText(*material, wavelength, lineEnd));
        if (out.commit()) {
            print("Standard file written: " + a.output + "\n");
            return kExitOk;
        }
    }
    platform.messagePopup(messages::kFileError, messages::couldNotWriteStandardFile(a.output));
    return kExitFailures;
}

}  // namespace

CLI::App* addStandardsMakeCommand(CLI::App& standards, CommandAction& action) {
    auto a = std::make_shared<MakeArguments>();
    auto* make = standards.add_subcommand(
        "make",
        "Write a standard file of a reference material (Silicon, LaB6, CeO2, Corundum) for a K-alpha1 "
        "wavelength: its reflections from 10 to 150 degrees");
    make->add_option("--material", a->material, "Silicon, LaB6, CeO2 or Corundum (case ignored)")->required();
    make->add_option("--wavelength", a->wavelength,
                     "K-alpha1 wavelength in Angstrom, or an anode: Cu (1.5406), Co, Cr, Fe, Mo, Ag")
        ->required()
        ->type_name("NUM|ANODE");
    make->add_option("-o,--output", a->output, "The standard file to write, replaced without asking")->required();
    make->add_option("--line-end", a->lineEnd, "Line ends: crlf (default) or lf")->check(CLI::IsMember({"crlf", "lf"}));
    make->callback([&action, a] { action = [a] { return makeStandard(*a); }; });
    return make;
}

}  // namespace s2t::cli
