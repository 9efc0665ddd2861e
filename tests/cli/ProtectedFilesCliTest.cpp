// The command line never replaces what it reads, nor anything but a regular file, and refuses
// inputs no real file is as large as: a scan converted onto itself, a named pipe or a device as
// output, an option file over its own points file, a points file that never ends.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "CliMessages.h"
#include "support/CliRun.h"
#include "support/Messages.h"
#include "support/ScanBytes.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::gufiBytes;
using test::readFile;
using test::runCli;
using test::TempDir;
using test::writeFile;

bool isFifo(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISFIFO(status.st_mode);
}

TEST(ProtectedFiles, AConversionNeverReplacesItsOwnInput) {
    TempDir dir;
    std::vector<float> counts(4001);
    for (std::size_t i = 0; i < counts.size(); ++i) counts[i] = static_cast<float>(i % 50);
    const std::string scan = dir.file("scan.guf");
    writeFile(scan, gufiBytes(10.0f, 0.02f, counts));
    const std::string before = readFile(scan);
    const auto result = runCli({"convert", "-q", "--home", dir.file("home"), "--calibration", "file", "-f", "gufi",
                                "-s", "0.05", "--overwrite", scan});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, test::consoleLine(messages::kFileError, messages::withPath(messages::kInputFailure, scan)));
    EXPECT_EQ(readFile(scan), before);
}

TEST(ProtectedFiles, NamedPipesAndDevicesAreNeverReplaced) {
    TempDir dir;
    const std::string pipe = dir.file("fifo.txt");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    writeFile(dir.file("scan.chn"), test::chnBytes(0, test::varyingCounts(100)));
    const auto convert =
        runCli({"convert", "-q", "--home", dir.file("home"), "--overwrite", "-o", pipe, dir.file("scan.chn")});
    EXPECT_EQ(convert.status, 1);
    EXPECT_EQ(convert.err,
              test::consoleLine(messages::kFileError, messages::withPath(messages::kNotRegularFailure, pipe)));
    EXPECT_TRUE(isFifo(pipe));

    writeFile(dir.file("points.txt"), "100 12.5\n2000 60\n");
    const std::string pre = dir.file("fifo.pre");
    ASSERT_EQ(::mkfifo(pre.c_str(), 0600), 0);
    for (const std::string& target : {pre, std::string("/dev/null")}) {
        const auto fit = runCli(
            {"calibration", "fit", "--points", dir.file("points.txt"), "--home", dir.file("home"), "-o", target});
        EXPECT_EQ(fit.status, 1) << target;
        EXPECT_EQ(fit.err, test::consoleLine(messages::kFileError,
                                             messages::optionFileRefused(target, messages::kOptionFileNotRegular)));
    }
    EXPECT_TRUE(isFifo(pre));
    struct stat status {};
    ASSERT_EQ(::stat("/dev/null", &status), 0);
    EXPECT_TRUE(S_ISCHR(status.st_mode));

    // The points file itself as the output.
    const auto onItsInput = runCli({"calibration", "fit", "--points", dir.file("points.txt"), "--home",
                                    dir.file("home"), "-o", dir.file("points.txt")});
    EXPECT_EQ(onItsInput.status, 1);
    EXPECT_EQ(onItsInput.err,
              test::consoleLine(messages::kFileError,
                                messages::optionFileRefused(dir.file("points.txt"), messages::kOptionFileIsInput)));
    EXPECT_EQ(readFile(dir.file("points.txt")), "100 12.5\n2000 60\n");
}

TEST(ProtectedFiles, PointsFilesAreBoundedAndBadLinesQuotedShort) {
    TempDir dir;
    const auto endless = runCli({"calibration", "fit", "--points", "/dev/zero", "--home", dir.file("home")});
    EXPECT_EQ(endless.status, 1);
    EXPECT_EQ(endless.err, test::consoleLine(messages::kFileError, messages::pointsFileTooLarge("/dev/zero")));

    writeFile(dir.file("points.txt"), "100 12.5\n" + std::string(100000, 'x') + "\n");
    const auto bad = runCli({"calibration", "fit", "--points", dir.file("points.txt"), "--home", dir.file("home")});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("got \"" + std::string(80, 'x') + "... (100000 characters)\""), std::string::npos)
        << bad.err.size();
    EXPECT_LT(bad.err.size(), 400u);
}

}  // namespace
}  // namespace s2t
