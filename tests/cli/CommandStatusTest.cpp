// What the exit status and the messages of the commands promise: output that never arrived is a
// failure, a warning counts the same for every command, a folder that cannot be made is reported
// with the reason it could not, and the first run of a new program folder gives what every later
// run gives.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "CliMessages.h"
#include "support/CliRun.h"
#include "support/Messages.h"
#include "support/ScanBytes.h"
#include "support/TempDir.h"

namespace s2t {
namespace {

using test::chnBytes;
using test::quoted;
using test::readFile;
using test::runCli;
using test::TempDir;
using test::writeFile;

const std::string kSample = std::string(S2T_SOURCE_DIR) + "/examples/si-standard.chn";

TEST(CommandStatus, StandardOutputThatCannotBeWrittenIsAFailure) {
    TempDir dir;
    // A full device.
    auto full = runCli("info " + quoted(kSample) + " >/dev/full", dir.path());
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.err, test::consoleLine(messages::kFileError, std::string(messages::kCouldNotWriteStandardOutput) +
                                                                    ": No space left on device"));

    // A reader that has gone before the listing is written (the process waits for it to go).
    const std::string status = dir.file("status");
    std::string out;
    test::runCommand("(sleep 0.3; " + quoted(S2T_CLI_BINARY) + " info " + quoted(kSample) + " 2>" +
                         quoted(dir.file("err")) + "; echo $? >" + quoted(status) + ") | true",
                     out);
    EXPECT_EQ(readFile(status), "1\n");
    EXPECT_EQ(
        readFile(dir.file("err")),
        test::consoleLine(messages::kFileError, std::string(messages::kCouldNotWriteStandardOutput) + ": Broken pipe"));

    // Written whole: success, as always.
    EXPECT_EQ(runCli("info " + quoted(kSample) + " >/dev/null", dir.path()).status, 0);
}

TEST(CommandStatus, AnOptionFileWarningGivesOneForEveryCommand) {
    TempDir dir;
    const std::string home = dir.file("home");
    // Announces three points and holds one: loaded as far as it goes, with a warning.
    writeFile(dir.file("short.pre"), "#Calibrasion Data\r\nnumOfDataPoints= 3\r\n100.0\t12.5\r\n");
    writeFile(dir.file("scan.chn"), chnBytes(0, {1, 2, 3, 4}));
    const std::string warning = test::consoleLine(messages::kOptionFileError, messages::kOptionFileIncomplete);
    const std::string options = " --home " + quoted(home) + " --options " + quoted(dir.file("short.pre"));

    auto show = runCli("calibration show" + options, dir.path());
    auto convert = runCli("convert -q" + options + " " + quoted(dir.file("scan.chn")), dir.path());
    writeFile(dir.file("points.txt"), "100 12.5\n2000 60\n");
    auto fit = runCli("calibration fit --points " + quoted(dir.file("points.txt")) + " -o " +
                          quoted(dir.file("fitted.pre")) + options,
                      dir.path());
    for (const auto* result : {&show, &convert, &fit}) {
        EXPECT_EQ(result->status, 1) << result->err;
        EXPECT_EQ(result->err, warning);
    }
    // The work itself was done.
    EXPECT_TRUE(test::fileExists(dir.file("scan.txt")));
    EXPECT_TRUE(test::fileExists(dir.file("fitted.pre")));
}

TEST(CommandStatus, AProgramFolderThatCannotBeMadeIsReportedWithItsReason) {
    TempDir dir;
    writeFile(dir.file("file"), "a file, not a folder");
    auto onAFile = runCli("calibration show --home " + quoted(dir.file("file")), dir.path());
    EXPECT_EQ(onAFile.status, 1);
    EXPECT_EQ(onAFile.err, "File Error: Couldn't create the folder " + dir.file("file") + ": Not a directory\n");

    // A folder without write permission: the reason is the permission, not that the folder is
    // missing afterwards. Root may write anywhere, so root runs the command as nobody.
    const std::string locked = dir.file("locked");
    ASSERT_EQ(::mkdir(locked.c_str(), 0555), 0);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    std::string prefix;
    if (::geteuid() == 0) {
        if (::access("/usr/bin/setpriv", X_OK) != 0) GTEST_SKIP() << "setpriv is needed to run as nobody";
        prefix = "/usr/bin/setpriv --reuid=65534 --regid=65534 --clear-groups ";
    }
    std::string out;
    const std::string err = dir.file("err");
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
    const int status = test::runCommand(
        prefix + quoted(S2T_CLI_BINARY) + " calibration show --home " + quoted(locked + "/home") + " 2>" + quoted(err),
        out);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(readFile(err), "File Error: Couldn't create the folder " + locked + "/home: Permission denied\n");
}

// The straight line as "calibration show" prints it.
std::string lineOf(const std::string& report) {
    const auto at = report.find("  K = ");
    return at == std::string::npos ? "" : report.substr(at, report.find("\nCalibration points") - at);
}

TEST(CommandStatus, TheFirstRunOfANewProgramFolderGivesWhatEveryLaterRunGives) {
    TempDir dir;
    const std::string home = dir.file("home");
    std::vector<std::int32_t> counts(4096);
    for (std::size_t i = 0; i < counts.size(); ++i) counts[i] = static_cast<std::int32_t>(i % 89);
    writeFile(dir.file("scan.chn"), chnBytes(0, counts));
    auto convertTo = [&](const std::string& name) {
        return runCli({"convert", "-q", "--home", home, "-o", dir.file(name), dir.file("scan.chn")}).status;
    };
    ASSERT_EQ(convertTo("first.txt"), 0);  // creates Default.pre
    ASSERT_EQ(convertTo("later.txt"), 0);
    EXPECT_EQ(readFile(dir.file("first.txt")), readFile(dir.file("later.txt")));

    TempDir other;
    const auto first = runCli({"calibration", "show", "--home", other.file("home")});
    const auto later = runCli({"calibration", "show", "--home", other.file("home")});
    EXPECT_EQ(lineOf(first.out), lineOf(later.out));
    EXPECT_NE(lineOf(first.out), "");
}

TEST(CommandStatus, AFitPrintsTheLineItStores) {
    TempDir dir;
    // The least-squares line through these points has a slope of many decimals.
    writeFile(dir.file("points.txt"), "103 13.17\n1711 56.31\n2939 89.05\n");
    const auto fit = runCli({"calibration", "fit", "--points", dir.file("points.txt"), "--home", dir.file("home")});
    ASSERT_EQ(fit.status, 0) << fit.err;
    const auto show = runCli({"calibration", "show", "--home", dir.file("home")});
    EXPECT_EQ(lineOf(fit.out).substr(0, lineOf(show.out).size()), lineOf(show.out));
    EXPECT_NE(lineOf(show.out), "");
    EXPECT_NE(readFile(dir.file("home/Default.pre")).find("C=\t0.026"), std::string::npos);
}

TEST(CommandStatus, AConstantStepFileWithoutValuesIsSkipped) {
    TempDir dir;
    std::vector<std::int32_t> counts(500, 7);
    writeFile(dir.file("scan.chn"), chnBytes(0, counts));
    // With K = 10.9 the scan starts at 10.9 degrees: no grid point lies from 0 to 5.
    const auto result = runCli({"convert", "-q", "--home", dir.file("home"), "-K", "10.9", "--range", "0:5", "-f",
                                "cpi", "-s", "0.01", dir.file("scan.chn")});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, test::consoleLine(messages::kFileError,
                                            messages::withPath(messages::kNoValuesFailure, dir.file("scan.cpi"))));
    EXPECT_FALSE(test::fileExists(dir.file("scan.cpi")));
}

}  // namespace
}  // namespace s2t
