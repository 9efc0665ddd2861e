#include "standards/StandardMaker.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <utility>

#include "options/LineText.h"
#include "platform/NumberText.h"

namespace s2t {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kLowest = 10.0, kHighest = 150.0;

bool diamond(int h, int k, int l) {
    const bool allOdd = h % 2 != 0 && k % 2 != 0 && l % 2 != 0;
    const bool allEven = h % 2 == 0 && k % 2 == 0 && l % 2 == 0;
    return allOdd || (allEven && (h + k + l) % 4 == 0);
}
bool primitive(int, int, int) { return true; }
bool faceCentred(int h, int k, int l) {
    const int odd = (h % 2 != 0) + (k % 2 != 0) + (l % 2 != 0);
    return odd == 0 || odd == 3;
}
// R-3c on hexagonal axes: -h + k + l divisible by 3; where one of h, k and i = -h - k is 0, l
// even (the c glide).
bool corundum(int h, int k, int l) {
    if ((-h + k + l) % 3 != 0) return false;
    if (h == 0 || k == 0 || h + k == 0) return l % 2 == 0;
    return true;
}

// The certificates: NIST SRM 640e (Si), 660b (LaB6), 674b (CeO2), 676a (alumina), lattice
// parameters at 22.5 degrees C.
constexpr ReferenceMaterial kMaterials[] = {
    {"Silicon", "diamond cubic Fd-3m, a = 5.431179 Angstrom (NIST SRM 640e)", 5.431179, 0.0, diamond},
    {"LaB6", "primitive cubic Pm-3m, a = 4.15689 Angstrom (NIST SRM 660b)", 4.15689, 0.0, primitive},
    {"CeO2", "fluorite cubic Fm-3m, a = 5.411651 Angstrom (NIST SRM 674b)", 5.411651, 0.0, faceCentred},
    {"Corundum", "corundum R-3c, a = 4.759091, c = 12.991779 Angstrom (NIST SRM 676a)", 4.759091, 12.991779, corundum},
};

// K-alpha wavelengths (Angstrom) after Hoelzer et al., Phys. Rev. A 56 (1997) 4554; Cu as the
// laboratory's calibrations take it.
constexpr Anode kAnodes[] = {
    {"Cu", 1.5406, 1.54443},    {"Co", 1.788996, 1.792835}, {"Cr", 2.289726, 2.293651},
    {"Fe", 1.936041, 1.939973}, {"Mo", 0.709317, 0.713604}, {"Ag", 0.559422, 0.563813},
};

double degrees(double radians) { return radians * (180.0 / kPi); }
double radians(double degrees) { return degrees * (kPi / 180.0); }

// The smallest d-spacing that diffracts at or below the highest angle.
double smallestSpacing(double wavelength) { return wavelength / (2.0 * std::sin(radians(kHighest / 2.0))); }

std::string shortest(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace

std::span<const ReferenceMaterial> referenceMaterials() { return kMaterials; }

const ReferenceMaterial* findReferenceMaterial(std::string_view name) {
    for (const auto& material : kMaterials)
        if (strCmp(material.name, name) == 0) return &material;
    return nullptr;
}

std::span<const Anode> anodes() { return kAnodes; }

const Anode* findAnode(std::string_view name) {
    for (const auto& anode : kAnodes)
        if (strCmp(anode.name, name) == 0) return &anode;
    return nullptr;
}

bool canMakeStandard(const ReferenceMaterial& material, double wavelength) {
    if (!(wavelength > 0.0) || !std::isfinite(wavelength)) return false;
    const double dMin = smallestSpacing(wavelength);
    // The loops below run to these indices (plus one); the comparisons are false for NaN too.
    const double highest =
        material.c == 0.0 ? material.a / dMin : std::max(2.0 * material.a / (std::sqrt(3.0) * dMin), material.c / dMin);
    return highest <= kHighestMillerIndex;
}

std::vector<std::string> reflectionAngleTexts(const ReferenceMaterial& material, double wavelength) {
    if (!canMakeStandard(material, wavelength)) return {};
    const double dMin = smallestSpacing(wavelength);
    const double a = material.a, c = material.c;
    // Keyed by the exact integers the spacing is made of, so that equivalent reflections count once.
    std::map<std::pair<long, long>, double> spacings;
    if (c == 0.0) {
        const int maxIndex = static_cast<int>(a / dMin) + 1;
        for (int h = 0; h <= maxIndex; ++h)
            for (int k = 0; k <= h; ++k)
                for (int l = 0; l <= k; ++l) {
                    const long n = h * h + k * k + l * l;
                    if (n == 0 || !material.allows(h, k, l)) continue;
                    spacings[{n, 0}] = a / std::sqrt(static_cast<double>(n));
                }
    } else {
        const int maxHk = static_cast<int>(2.0 * a / (std::sqrt(3.0) * dMin)) + 1;
        const int maxL = static_cast<int>(c / dMin) + 1;
        for (int h = -maxHk; h <= maxHk; ++h)
            for (int k = -maxHk; k <= maxHk; ++k)
                for (int l = 0; l <= maxL; ++l) {
                    const long m = h * h + h * k + k * k;
                    if ((m == 0 && l == 0) || !material.allows(h, k, l)) continue;
                    const double inverseSquare =
                        4.0 / 3.0 * static_cast<double>(m) / (a * a) + static_cast<double>(l * l) / (c * c);
                    spacings[{m, static_cast<long>(l) * l}] = 1.0 / std::sqrt(inverseSquare);
                }
    }
    std::vector<double> angles;
    for (const auto& [key, d] : spacings) {
        const double s = wavelength / (2.0 * d);
        if (s > 1.0) continue;
        const double twoTheta = 2.0 * degrees(std::asin(s));
        if (twoTheta >= kLowest && twoTheta <= kHighest) angles.push_back(twoTheta);
    }
    std::sort(angles.begin(), angles.end());
    std::vector<std::string> texts;
    for (double angle : angles) {
        std::string text = formatFixed(angle, 4);
        if (texts.empty() || texts.back() != text) texts.push_back(std::move(text));
    }
    return texts;
}

std::string standardFileText(const ReferenceMaterial& material, double wavelength, LineEnd lineEnd) {
    const std::string_view eol = lineEndText(lineEnd);
    std::string radiation = "wavelength " + shortest(wavelength);
    for (const auto& anode : kAnodes)
        if (anode.alpha1 == wavelength) radiation = std::string(anode.name) + " K-alpha1 " + shortest(wavelength);
    std::string text = "name= '";
    text.append(material.name).append("'").append(eol);
    text.append("# ").append(material.description).append(", ").append(radiation).append(" Angstrom").append(eol);
    text.append("DATA").append(eol);
    for (const auto& angle : reflectionAngleTexts(material, wavelength)) text.append(angle).append(eol);
    text.append(eol);
    return text;
}

}  // namespace s2t
