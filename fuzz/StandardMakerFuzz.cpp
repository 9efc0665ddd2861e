// The standard-file writer on any material cell and any wavelength: it never crashes or hangs,
// and the file it writes reads back, through the reader every standard goes through, with its
// name and exactly its reflections, ascending between 10 and 150 degrees.
//
// Input: material (byte: its reflection conditions and name), line end (byte), wavelength (an
// anode's, or any finite double), then a and c (finite doubles; the material's own when 0).
#include <cmath>

#include "FuzzSupport.h"
#include "options/TextFile.h"
#include "platform/NumberText.h"
#include "platform/ScriptedPlatform.h"
#include "standards/StandardFile.h"
#include "standards/StandardMaker.h"

using namespace s2t;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::ByteReader in(data, size);
    const auto materials = referenceMaterials();
    ReferenceMaterial material = materials[in.byte() % materials.size()];
    const LineEnd lineEnd = in.byte() & 1 ? LineEnd::Lf : LineEnd::CrLf;
    const std::uint8_t radiation = in.byte();
    double wavelength = anodes()[radiation % anodes().size()].alpha1;
    if (radiation >= 128) wavelength = std::fabs(in.finite(wavelength));
    if (!(wavelength > 0.0)) return 0;  // the command line takes none other
    // Other cells (a hexagonal one keeps a c; a cubic one keeps none), as a new material would add.
    const double a = std::fabs(in.finite());
    const double c = std::fabs(in.finite());
    if (a > 0.0) material.a = a;
    if (c > 0.0 && material.c != 0.0) material.c = c;

    const std::vector<std::string> angles = reflectionAngleTexts(material, wavelength);
    const std::string text = standardFileText(material, wavelength, lineEnd);
    S2T_FUZZ_CHECK(!fuzz::holdsNonFiniteText(text));

    fuzz::InputFile& file = fuzz::inputFile();
    file.assign(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    TextFile reader(file.path());
    S2T_FUZZ_CHECK(reader.isOpen());
    std::string line, name;
    bool named = false;
    while (!named && reader.readLine(line) != -1) named = getNameOfStd(line, name);
    S2T_FUZZ_CHECK(named && name == material.name);

    ScriptedPlatform platform;
    std::vector<double> reflections;
    S2T_FUZZ_CHECK(getStandardPoints(reader, reflections, platform));
    S2T_FUZZ_CHECK(platform.messages().empty());
    S2T_FUZZ_CHECK(reflections.size() == angles.size());
    for (std::size_t i = 0; i < reflections.size(); ++i) {
        S2T_FUZZ_CHECK(reflections[i] == parseLeadingDouble(angles[i]));
        S2T_FUZZ_CHECK(reflections[i] >= 10.0 && reflections[i] <= 150.0);
        if (i > 0) S2T_FUZZ_CHECK(reflections[i - 1] < reflections[i]);
    }
    return 0;
}
