// scan2theta standards make: a standard file of a shipped reference material for another
// wavelength (another anode), written as the shipped files are.
#include <memory>

#include "Cli.h"
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
    if (!material) return usageError("--material: " + a.material + " is none of " + materialNames());
    double wavelength = 0.0;
    if (const Anode* anode = findAnode(a.wavelength))
        wavelength = anode->alpha1;
    else if (!parseWholeDouble(a.wavelength, wavelength) || !(wavelength > 0.0))
        return usageError("--wavelength: '" + a.wavelength + "' is neither a wavelength above 0 nor an anode (" +
                          anodeNames() + ")");
    if (!canMakeStandard(*material, wavelength))
        return usageError("--wavelength: '" + a.wavelength + "' is too short for " + std::string(material->name) +
                          ": its reflections up to 150 degrees would need Miller indices above " +
                          std::to_string(kHighestMillerIndex));
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
    platform.messagePopup("File Error", "Couldn't write the standard file " + a.output +
                                            "\nThe disk may be full or you may not have write permission.");
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
