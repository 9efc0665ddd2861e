// The program's main window: the list of input files with a preview of the selected one, how
// channels become angles, the output options and format, the straight-line coefficients in force,
// and the buttons and menus that add and remove files, load and save option files, open the
// option and calibration panels and start a batch. Which control is dimmed is decided by the
// rules of MainPanelRules; the panel only copies its widgets to and from a MainPanelState.
#pragma once

#include <string>
#include <vector>

#include <QMainWindow>

#include "engine/BatchRun.h"
#include "engine/Session.h"
#include "platform/Platform.h"
#include "ui/MainPanelRules.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace s2t::ui {

class FileListWidget;
class OptionPanelChain;
class ScanPreview;

class MainPanel : public QMainWindow {
    Q_OBJECT
public:
    MainPanel(Session& session, Platform& platform, QWidget* parent = nullptr);

    // Files named at start-up: listed as they are, with their kinds, without any check.
    void appendFiles(const std::vector<std::string>& paths);
    // Files chosen or dropped: added by the kind rules of the list.
    void addFiles(const std::vector<std::string>& paths);

    std::vector<BatchInput> listedFiles() const;
    MainPanelState state() const;
    void applyState(const MainPanelState& state);

    OptionPanelChain& optionPanels() const { return *chain_; }
    ScanPreview& preview() const { return *preview_; }
    const BatchResult& lastBatch() const { return lastBatch_; }

signals:
    void straightLinePanelRequested();
    void linearPointsPanelRequested();
    void splinePanelRequested();
    // The user asked to quit (button, menu or close box).
    void quitRequested();

public slots:
    // Shows K and C of the calibration in force (and redraws the preview under it).
    void refreshCalibrationDisplays();
    // Applies the enabling rules to the controls.
    void dimAsNeeded();
    // Redraws the preview of the selected file.
    void updatePreview();

protected:
    // Quitting (button, menu or close box): asks first when the calibration in force is not the
    // one Default.pre holds, and remembers the window and its choices for the next start.
    void closeEvent(QCloseEvent* event) override;

private:
    // The window by area: the file list, the preview, the conversion, the output, the run.
    void buildControls();
    QWidget* buildFilesGroup(QWidget* parent);
    QWidget* buildPreviewGroup(QWidget* parent);
    QWidget* buildConversionGroup(QWidget* parent);
    QWidget* buildOutputGroup(QWidget* parent);
    QWidget* buildRunGroup(QWidget* parent);
    void setInitialStates();
    void connectControls();
    void buildMenus();
    void addToolTips();
    void addFilesButton();
    void removeFilesButton();
    void removeAllFiles();
    void convertButton();
    void modeClicked(ModeButton button, bool onAfterClick);
    void outputFileTypeMenu();
    void loadOptions();
    void saveOptions();
    void runBatch();
    void setLineEnd(LineEnd lineEnd);
    FileSelectOptions optionFilePopup() const;
    void restoreRememberedChoices();
    void rememberChoices() const;
    // False when the user cancels, or the calibration could not be saved as asked.
    bool mayQuit();

    Session& session_;
    Platform& platform_;
    OptionPanelChain* chain_ = nullptr;
    BatchResult lastBatch_;

    FileListWidget* fileList_ = nullptr;
    ScanPreview* preview_ = nullptr;
    QPushButton* addButton_ = nullptr;
    QPushButton* removeButton_ = nullptr;
    QPushButton* removeAllButton_ = nullptr;
    QLabel* fileCount_ = nullptr;
    QPushButton* convertButton_ = nullptr;
    QPushButton* quitButton_ = nullptr;
    QCheckBox* convertToTwoTheta_ = nullptr;
    QLabel* conversionGroupControl_ = nullptr;
    QRadioButton* linearMode_ = nullptr;
    QRadioButton* splineMode_ = nullptr;
    QRadioButton* fileAnglesMode_ = nullptr;
    QRadioButton* trailerMode_ = nullptr;
    QLineEdit* kDisplay_ = nullptr;
    QLineEdit* cDisplay_ = nullptr;
    QLabel* kCaption_ = nullptr;
    QLabel* cCaption_ = nullptr;
    QCheckBox* wholeTwoThetaBox_ = nullptr;
    QCheckBox* constantStepBox_ = nullptr;
    QCheckBox* limitRangeBox_ = nullptr;
    QCheckBox* perSecondBox_ = nullptr;
    QComboBox* outputFormat_ = nullptr;
    QLabel* outputFormatText_ = nullptr;
    QAction* crLfAction_ = nullptr;
    QAction* lfAction_ = nullptr;
};

}  // namespace s2t::ui
