// scan2theta-gui [--home DIR] [FILE...]: the desktop program.
#include <cstdio>

#include <QApplication>

#include "engine/Session.h"
#include "ui/MainPanel.h"
#include "ui/QtPlatform.h"
#include "ui/StartUp.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("scan2theta");
    QApplication::setApplicationVersion(S2T_VERSION);
    // The main panel hides while a batch runs; the program ends only when the user quits.
    app.setQuitOnLastWindowClosed(false);

    const s2t::ui::StartOptions options = s2t::ui::parseStartOptions(app.arguments().mid(1));
    if (!options.error.empty()) {
        std::fprintf(stderr, "scan2theta-gui: %s\nusage: scan2theta-gui [--home DIR] [FILE...]\n",
                     options.error.c_str());
        return 2;
    }

    s2t::Session session;
    s2t::ui::QtPlatform platform;
    if (!s2t::ui::startSession(session, options.home, platform)) return -1;

    s2t::ui::MainPanel panel(session, platform);
    platform.setParentWidget(&panel);
    QObject::connect(&panel, &s2t::ui::MainPanel::quitRequested, &app, &QApplication::quit);
    s2t::ui::connectCalibrationPanels(panel, session, platform);
    panel.show();
    s2t::ui::fillMainPanel(panel, options.files);
    return app.exec();
}
