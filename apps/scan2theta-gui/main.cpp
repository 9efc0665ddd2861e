// scan2theta-gui [--home DIR] [--] [FILE...]: the desktop program.
#include <cstdio>

#include <QApplication>

#include "engine/Session.h"
#include "ui/MainPanel.h"
#include "ui/QtPlatform.h"
#include "ui/StartArguments.h"
#include "ui/StartUp.h"

int main(int argc, char** argv) {
    // Help and version first: they need no display, and no window system is started for them.
    QStringList all;
    for (int i = 0; i < argc; ++i) all.append(QString::fromLocal8Bit(argv[i]));
    const int qtArgc = s2t::ui::argumentsForQt(argc, argv);
    const s2t::ui::StartOptions early = s2t::ui::parseStartOptions(all.mid(1, qtArgc - 1));
    if (early.showHelp) {
        std::fputs(s2t::ui::startHelpText().c_str(), stdout);
        return 0;
    }
    if (early.showVersion) {
        std::fputs(s2t::ui::startVersionText().c_str(), stdout);
        return 0;
    }

    // Qt takes its own options out of the arguments it sees: those before "--" only, so that a
    // file after "--" named like one (-style, -reverse) stays a file.
    int argumentsSeenByQt = qtArgc;
    QApplication app(argumentsSeenByQt, argv);
    QApplication::setApplicationName("scan2theta");
    QApplication::setApplicationVersion(S2T_VERSION);
    // The main panel hides while a batch runs; the program ends only when the user quits.
    app.setQuitOnLastWindowClosed(false);

    const s2t::ui::StartOptions options = s2t::ui::parseStartOptions(app.arguments().mid(1) + all.mid(qtArgc));
    if (!options.error.empty()) {
        std::fprintf(stderr, "scan2theta-gui: %s\nRun with --help for more information.\n", options.error.c_str());
        return 2;
    }

    s2t::Session session;
    s2t::ui::QtPlatform platform;
    if (!s2t::ui::startSession(session, options.home, platform)) return -1;
    platform.rememberFoldersIn(session.projectDir);

    s2t::ui::MainPanel panel(session, platform);
    platform.setParentWidget(&panel);
    QObject::connect(&panel, &s2t::ui::MainPanel::quitRequested, &app, &QApplication::quit);
    s2t::ui::connectCalibrationPanels(panel, session, platform);
    panel.show();
    s2t::ui::fillMainPanel(panel, options.files);
    return app.exec();
}
