// The texts of the messages a conversion shows, exactly as users see them, for the tests of
// every layer that reports them.
#pragma once

#include <string>

namespace s2t::test {

inline std::string couldNotOpenInput(const std::string& path) {
    return "Couldn't open input file: " + path + "\nFile may not exist.\nWill skip conversion.";
}
inline std::string corruptedInput(const std::string& path) {
    return "The input file \"" + path + "\" \nhas been corrupted.";
}
inline std::string notAChnFile(const std::string& path) {
    return "The input file \"" + path + "\" \nwasn't a CHN file.";
}
inline std::string couldNotOpenOutput(const std::string& path) {
    return "Couldn't open output file: " + path +
           "\nYour disk my be full, you may not have write permission or you may have the file already open."
           "\nWill skip conversion.";
}
inline std::string couldNotWriteOptionFile(const std::string& path) {
    return "Couldn't write option file: " + path +
           "\nThe disk may be full or you may not have write permission.\nThe file is unchanged.";
}

}  // namespace s2t::test
