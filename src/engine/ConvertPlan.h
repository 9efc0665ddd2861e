// What `scan2theta convert` was asked to do, checked: the command line's option values turned into
// the batch's choices, the option panels' settings, the destination and the run's manners. Kept
// apart from any argument parser so that every usage rule lives in one function, which the command
// line and the Python module both call.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/BatchRun.h"
#include "engine/ConversionRecords.h"
#include "platform/ConsolePlatform.h"

namespace s2t {

// The option values as typed. Numbers stay text until they are checked, so that their reading
// never depends on the locale and every one of them is seen to be finite.
struct ConvertArguments {
    using Text = std::optional<std::string>;  // nullopt: the option was not given

    std::vector<std::string> inputs;  // "-": the scan on standard input
    Text inputFormat;                 // read every input as this format; default: by extension ("-": by content)
    Text filesFrom;                   // a file listing more inputs ("-": standard input)
    bool nulSeparated = false;        // -0: the list's paths end in NUL instead of a line end
    std::optional<std::int32_t> standardInputType;  // the format of "-", found before planning
    bool channels = false;
    Text calibration;  // linear | spline | file | trailer; default linear
    Text format;       // a command-line name of the formats table; default text
    Text step;
    Text interpolation;  // linear | spline; default linear
    Text range;          // MIN:MAX
    bool wholeAngle = false;
    bool fractionalCounts = false;
    bool perSecond = false;
    Text target;      // default Cu
    Text wavelength;  // default 1.5406
    Text date;        // default today
    Text K, C;
    Text output;  // default: beside each input; "-": standard output
    bool overwrite = false;
    Text lineEnd;  // crlf | lf; default crlf
    bool quiet = false;
    std::optional<int> jobs;   // default: one per core
    std::optional<int> block;  // the block of every input (from 1); default: every block
};

// The checked request.
struct ConvertPlan {
    std::vector<BatchInput> inputs;
    BatchChoices choices;
    ConversionSettings settings;  // the option panels' records and the line end
    std::optional<double> K, C;   // set over the loaded calibration
    std::optional<std::string> date;
    OutputDestination destination;
    ConfirmPolicy confirmPolicy = ConfirmPolicy::AlwaysNo;
    bool showProgress = true;
    int jobs = 1;
};

// A usage error: the option it concerns and what is wrong.
struct UsageError {
    std::string option;
    std::string message;
};

// What the reader of an input given as "-" opens: standard input, which the command line has made
// a file holding the whole scan by then, so that it is read from its start, with its size, like
// any file.
inline constexpr const char* kStandardInputPath = "/dev/stdin";

struct InputFormatInfo;

// The format --input-format names (null when it is not given); a name outside the table is a
// usage error.
std::optional<UsageError> namedInputFormat(const ConvertArguments& arguments, const InputFormatInfo*& format);

// Checks the arguments and builds the plan; the first rule broken comes back as the error.
std::optional<UsageError> planConversion(const ConvertArguments& arguments, ConvertPlan& plan);

}  // namespace s2t
