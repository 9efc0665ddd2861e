// convert-one INPUT OUTPUT: the input as a 2-theta text file under the built-in calibration.
#include <scan2theta/engine/BatchRun.h>
#include <scan2theta/engine/InputFormats.h>
#include <scan2theta/platform/ConsolePlatform.h>

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    s2t::Session session;
    session.calibration.installStartupValues();
    s2t::ConsolePlatform platform(s2t::ConfirmPolicy::AlwaysYes, false);
    const s2t::BatchInput input{argv[1], s2t::inputFormatForPath(argv[1]).fileType};
    const s2t::OutputDestination output{s2t::OutputDestination::Kind::File, argv[2]};
    return s2t::runBatch(session, platform, {input}, s2t::BatchChoices{}, output, 1).converted == 1 ? 0 : 1;
}
