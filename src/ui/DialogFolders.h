// The folder each file dialog of the desktop program was last left in, remembered from one start
// to the next in the program folder's scan2theta-gui.ini. A dialog is known by its title together
// with the folder it is asked to start in: the dialogs that start in the program folder come back
// where the user last went; the output dialogs, which start beside the inputs, come back to the
// output folder chosen last time only for inputs from the same folder.
#pragma once

#include <string>

#include <QString>

namespace s2t::ui {

class DialogFolders {
public:
    explicit DialogFolders(const std::string& programFolder);

    // Where the dialog with this title starts when asked to start in requested: the folder
    // remembered for it while that folder still exists, else requested.
    QString startFolder(const std::string& title, const QString& requested) const;

    // The user chose something in chosenFolder; a failure to write is not worth a word.
    void remember(const std::string& title, const QString& requested, const QString& chosenFolder);

private:
    QString settingsPath_;
};

}  // namespace s2t::ui
