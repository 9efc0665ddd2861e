// Standard files for any wavelength: the reference materials the program ships, their certified
// cells and reflection conditions, and the reflection angles for a given K-alpha1 wavelength,
// written as the shipped files are (scripts/make-standards.py makes the Cu K-alpha1 ones).
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/LineEnd.h"

namespace s2t {

struct ReferenceMaterial {
    std::string_view name;         // the standard's name, e.g. "Silicon"
    std::string_view description;  // structure, cell and certificate
    double a;                      // Angstrom
    double c;                      // Angstrom, hexagonal axes; 0 for a cubic cell
    bool (*allows)(int h, int k, int l);
};

std::span<const ReferenceMaterial> referenceMaterials();
// The material of that name, letter case ignored; null when there is none.
const ReferenceMaterial* findReferenceMaterial(std::string_view name);

struct Anode {
    std::string_view name;  // element symbol, e.g. "Co"
    double alpha1, alpha2;  // K-alpha1 and K-alpha2 wavelengths, Angstrom
};

std::span<const Anode> anodes();
// The anode of that symbol, letter case ignored; null when there is none.
const Anode* findAnode(std::string_view name);

// The highest Miller index a standard is made with. Reflections up to 150 degrees need indices up
// to the cell edge over half the wavelength: a wavelength so short that they go beyond this gives
// tens of thousands of reflections no scan resolves (Silicon below 0.053 Angstrom, Corundum below
// 0.126), and a wavelength of 1e-9 would search for them for ever.
inline constexpr int kHighestMillerIndex = 200;

// Whether a standard of material can be made for wavelength: a finite wavelength above 0 whose
// reflections up to 150 degrees need no index above kHighestMillerIndex.
bool canMakeStandard(const ReferenceMaterial& material, double wavelength);

// The reflection angles (degrees, 4 decimals) between 10 and 150 degrees for wavelength, one
// per distinct d-spacing, ascending; none when the standard cannot be made for wavelength.
std::vector<std::string> reflectionAngleTexts(const ReferenceMaterial& material, double wavelength);

// The standard file: name line, a comment naming the cell and the radiation, "DATA", the angles,
// an empty line.
std::string standardFileText(const ReferenceMaterial& material, double wavelength, LineEnd lineEnd);

}  // namespace s2t
