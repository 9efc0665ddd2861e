#include "engine/ConvertRun.h"

#include "engine/Session.h"
#include "options/OptionFile.h"
#include "platform/ConsolePlatform.h"
#include "platform/Messages.h"
#include "platform/ProgramFolder.h"

namespace s2t {

ConvertRunResult runConvertPlan(const ConvertPlan& plan, const CalibrationSource& source, std::FILE* errors,
                                std::shared_ptr<FileSystem> fileSystem) {
    ConsolePlatform platform(plan.confirmPolicy, plan.showProgress, errors);
    if (plan.date) platform.setDateText(*plan.date);

    ConvertRunResult outcome;
    Session session;
    if (!loadCalibration(source, session.calibration, platform, session.projectDir)) return outcome;
    std::vector<std::string> optionFiles{defaultOptionsPath(session.projectDir)};
    if (!source.options.empty()) optionFiles.push_back(source.options);
    session.calibrationOrigin = originAmong(optionFiles, session.calibration);
    if (plan.K) session.calibration.header.K = *plan.K;
    if (plan.C) session.calibration.header.C = *plan.C;
    session.settings = plan.settings;

    if (plan.destination.kind == OutputDestination::Kind::Directory) {
        std::string error;
        if (!ensureDirectory(plan.destination.path, error)) {
            platform.messagePopup(messages::kFileError, error);
            return outcome;
        }
    }

    // Only now: the Default.pre a first start writes is no output of the batch.
    if (fileSystem) platform.setFileSystem(std::move(fileSystem));
    outcome.prepared = true;
    outcome.batch = runBatch(session, platform, plan.inputs, plan.choices, plan.destination, plan.jobs);
    outcome.messagesShown = platform.messageCount();
    return outcome;
}

}  // namespace s2t
