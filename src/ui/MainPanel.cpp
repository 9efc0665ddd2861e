#include "ui/MainPanel.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QVBoxLayout>

#include "engine/FileKind.h"
#include "engine/OutputFormats.h"
#include "options/CalibrationOrigin.h"
#include "options/OptionFile.h"
#include "platform/NumberText.h"
#include "ui/BatchFeedback.h"
#include "ui/FileAddition.h"
#include "ui/FileListWidget.h"
#include "ui/HelpMenu.h"
#include "ui/LineEndPreference.h"
#include "ui/NumberEntry.h"
#include "ui/OptionPanelChain.h"
#include "ui/PanelMessages.h"
#include "ui/PreviewScan.h"
#include "ui/PreviewSelection.h"
#include "ui/RememberedChoices.h"
#include "ui/ScanPreview.h"
#include "ui/SmallScreens.h"
#include "ui/UnsavedCalibration.h"

namespace s2t::ui {
namespace {

void showToggle(QAbstractButton* button, const Toggle& toggle) {
    button->setChecked(toggle.on);
    button->setEnabled(!toggle.dimmed);
}

Toggle toggleOf(const QAbstractButton* button) { return {button->isChecked(), !button->isEnabled()}; }

QRadioButton* modeButton(const QString& text, const char* name, QWidget* parent) {
    auto* button = new QRadioButton(text, parent);
    button->setObjectName(name);
    // The three modes follow our own exclusion table: clicking the selected mode moves the
    // selection on, which Qt's automatic exclusivity would not allow.
    button->setAutoExclusive(false);
    return button;
}

QCheckBox* checkBox(const QString& text, const char* name, QWidget* parent) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    return box;
}

QLineEdit* coefficientDisplay(const char* name, QWidget* parent) {
    auto* display = new QLineEdit(parent);
    display->setObjectName(name);
    display->setReadOnly(true);
    display->setFocusPolicy(Qt::NoFocus);
    display->setAlignment(Qt::AlignRight);
    QFont font = display->font();
    font.setFamily("monospace");
    font.setStyleHint(QFont::Monospace);
    display->setFont(font);
    display->setMaximumWidth(120);
    return display;
}

// A name typed without an extension gets ".pre", so that the Load popup, which lists "*.pre"
// only, shows the file afterwards.
std::string withOptionFileExtension(const std::string& path) {
    const QString name = QFileInfo(QString::fromStdString(path)).fileName();
    if (name.endsWith('.')) return path + "pre";
    if (name.isEmpty() || name.contains('.')) return path;
    return path + ".pre";
}

}  // namespace

MainPanel::MainPanel(Session& session, Platform& platform, QWidget* parent)
        : QMainWindow(parent), session_(session), platform_(platform) {
    setObjectName("mainPanel");
    setWindowTitle(QString::fromUtf8(messages::kMainWindowTitle));
    chain_ = new OptionPanelChain(session_, platform_, this, [this] { runBatch(); });
    buildControls();
    buildMenus();
    addToolTips();
    refreshCalibrationDisplays();
    restoreRememberedChoices();
}

void MainPanel::buildControls() {
    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);

    // Top: the input files and the preview of the selected one.
    auto* splitter = new QSplitter(Qt::Horizontal, central);
    splitter->addWidget(buildFilesGroup(central));
    splitter->addWidget(scrollableWhenSmall(buildPreviewGroup(central)));
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);
    splitter->setChildrenCollapsible(false);
    outer->addWidget(splitter, 1);

    // Bottom: how channels become angles, the output, and the run.
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(buildConversionGroup(central), 3);
    bottom->addWidget(buildOutputGroup(central), 2);
    bottom->addWidget(buildRunGroup(central), 1);
    outer->addLayout(bottom);
    setCentralWidget(central);

    setInitialStates();
    connectControls();
}

QWidget* MainPanel::buildFilesGroup(QWidget* parent) {
    auto* group = new QGroupBox(tr("Input files"), parent);
    auto* layout = new QVBoxLayout(group);
    fileList_ = new FileListWidget(group);
    fileList_->setObjectName("fileList");
    layout->addWidget(fileList_);
    auto* buttons = new QHBoxLayout;
    addButton_ = new QPushButton(tr("Add Files..."), group);
    addButton_->setObjectName("addFiles");
    removeButton_ = new QPushButton(tr("Remove"), group);
    removeButton_->setObjectName("removeFile");
    removeAllButton_ = new QPushButton(tr("Remove All"), group);
    removeAllButton_->setObjectName("removeAllFiles");
    fileCount_ = new QLabel(group);
    fileCount_->setObjectName("fileCount");
    buttons->addWidget(addButton_);
    buttons->addWidget(removeButton_);
    buttons->addWidget(removeAllButton_);
    buttons->addWidget(fileCount_);
    buttons->addStretch(1);
    auto* dropHint = new QLabel(tr("or drop files onto the list"), group);
    dropHint->setEnabled(false);
    buttons->addWidget(dropHint);
    layout->addLayout(buttons);
    return group;
}

QWidget* MainPanel::buildPreviewGroup(QWidget* parent) {
    auto* group = new QGroupBox(tr("Preview"), parent);
    auto* layout = new QVBoxLayout(group);
    preview_ = new ScanPreview(group);
    preview_->setObjectName("preview");
    preview_->setProgramFolder(session_.projectDir);
    layout->addWidget(preview_);
    return group;
}

QWidget* MainPanel::buildConversionGroup(QWidget* parent) {
    auto* group = new QGroupBox(tr("Conversion"), parent);
    auto* conversion = new QGridLayout(group);
    convertToTwoTheta_ = checkBox(tr("Convert channels to 2-theta"), "convertToTwoTheta", group);
    conversionGroupControl_ = new QLabel(tr("2-theta from:"), group);
    conversionGroupControl_->setObjectName("conversionGroupControl");
    linearMode_ = modeButton(tr("Straight line: 2-theta = C x channel + K"), "linearMode", group);
    splineMode_ = modeButton(tr("Cubic spline through the calibration points"), "splineMode", group);
    fileAnglesMode_ = modeButton(tr("The file's own angles (GUFI files, angle scans)"), "fileAnglesMode", group);
    trailerMode_ = modeButton(tr("The line stored in each channel file"), "trailerMode", group);
    kCaption_ = new QLabel(tr("K ="), group);
    kCaption_->setObjectName("kCaption");
    cCaption_ = new QLabel(tr("C ="), group);
    cCaption_->setObjectName("cCaption");
    kDisplay_ = coefficientDisplay("kDisplay", group);
    cDisplay_ = coefficientDisplay("cDisplay", group);
    auto* line = new QHBoxLayout;
    line->setContentsMargins(24, 0, 0, 0);
    line->addWidget(kCaption_);
    line->addWidget(kDisplay_);
    line->addSpacing(12);
    line->addWidget(cCaption_);
    line->addWidget(cDisplay_);
    line->addStretch(1);
    conversion->addWidget(convertToTwoTheta_, 0, 0);
    conversion->addWidget(conversionGroupControl_, 1, 0);
    conversion->addWidget(linearMode_, 2, 0);
    conversion->addLayout(line, 3, 0);
    conversion->addWidget(splineMode_, 4, 0);
    conversion->addWidget(fileAnglesMode_, 5, 0);
    conversion->addWidget(trailerMode_, 6, 0);
    conversion->setRowStretch(7, 1);
    return group;
}

QWidget* MainPanel::buildOutputGroup(QWidget* parent) {
    auto* group = new QGroupBox(tr("Output"), parent);
    auto* output = new QGridLayout(group);
    outputFormat_ = new QComboBox(group);
    outputFormat_->setObjectName("outputFormat");
    // The longest labels would set the window's least width; the list that opens shows them whole.
    outputFormat_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    outputFormat_->setMinimumContentsLength(16);
    for (const OutputFormatInfo& format : outputFormats())
        outputFormat_->addItem(QString::fromUtf8(format.label.data(), static_cast<qsizetype>(format.label.size())),
                               format.value);
    wholeTwoThetaBox_ = checkBox(tr("Whole-number 2-theta"), "wholeTwoThetaBox", group);
    constantStepBox_ = checkBox(tr("Constant 2-theta step"), "constantStepBox", group);
    limitRangeBox_ = checkBox(tr("Limit the 2-theta range"), "limitRangeBox", group);
    perSecondBox_ = checkBox(tr("Counts per second of live time"), "perSecondBox", group);
    output->addWidget(new QLabel(tr("Format:"), group), 0, 0);
    output->addWidget(outputFormat_, 0, 1);
    output->addWidget(wholeTwoThetaBox_, 1, 0, 1, 2);
    output->addWidget(constantStepBox_, 2, 0, 1, 2);
    output->addWidget(limitRangeBox_, 3, 0, 1, 2);
    output->addWidget(perSecondBox_, 4, 0, 1, 2);
    output->setColumnStretch(1, 1);
    output->setRowStretch(5, 1);
    return group;
}

QWidget* MainPanel::buildRunGroup(QWidget* parent) {
    auto* group = new QGroupBox(tr("Run"), parent);
    auto* run = new QVBoxLayout(group);
    auto* writes = new QLabel(tr("Output format:"), group);
    outputFormatText_ = new QLabel(group);
    outputFormatText_->setObjectName("outputFormatText");
    QFont bold = outputFormatText_->font();
    bold.setBold(true);
    outputFormatText_->setFont(bold);
    outputFormatText_->setWordWrap(true);
    convertButton_ = new QPushButton(tr("Convert"), group);
    convertButton_->setObjectName("convert");
    convertButton_->setDefault(true);
    convertButton_->setMinimumHeight(36);
    quitButton_ = new QPushButton(tr("Quit"), group);
    quitButton_->setObjectName("quit");
    run->addWidget(writes);
    run->addWidget(outputFormatText_);
    run->addStretch(1);
    run->addWidget(convertButton_);
    run->addWidget(quitButton_);
    return group;
}

// The states before the rules first run.
void MainPanel::setInitialStates() {
    convertToTwoTheta_->setChecked(true);
    linearMode_->setChecked(true);
    outputFormat_->setCurrentIndex(outputFormat_->findData(kTextOutput));
    outputFormatText_->setText(outputFormat_->currentText());
}

void MainPanel::connectControls() {
    connect(addButton_, &QPushButton::clicked, this, &MainPanel::addFilesButton);
    connect(removeButton_, &QPushButton::clicked, this, &MainPanel::removeFilesButton);
    connect(removeAllButton_, &QPushButton::clicked, this, &MainPanel::removeAllFiles);
    connect(fileList_, &FileListWidget::deletePressed, this, [this] {
        if (removeButton_->isEnabled()) removeFilesButton();
    });
    connect(convertButton_, &QPushButton::clicked, this, &MainPanel::convertButton);
    connect(quitButton_, &QPushButton::clicked, this, &MainPanel::close);
    connect(convertToTwoTheta_, &QCheckBox::clicked, this, [this] {
        dimAsNeeded();
        updatePreview();
    });
    connect(linearMode_, &QRadioButton::clicked, this, [this](bool on) { modeClicked(ModeButton::Linear, on); });
    connect(splineMode_, &QRadioButton::clicked, this, [this](bool on) { modeClicked(ModeButton::Spline, on); });
    connect(fileAnglesMode_, &QRadioButton::clicked, this,
            [this](bool on) { modeClicked(ModeButton::FileAngles, on); });
    connect(trailerMode_, &QRadioButton::clicked, this, [this](bool on) { modeClicked(ModeButton::Trailer, on); });
    connect(outputFormat_, &QComboBox::activated, this, [this](int) { outputFileTypeMenu(); });
    connect(fileList_, &QListWidget::currentRowChanged, this, [this](int) { updatePreview(); });
    connect(fileList_, &QListWidget::itemSelectionChanged, this, &MainPanel::updatePreview);
    connect(fileList_, &FileListWidget::filesDropped, this, &MainPanel::addFiles);
}

void MainPanel::buildMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    QAction* addFiles = file->addAction(tr("&Add Files..."), this, &MainPanel::addFilesButton);
    addFiles->setObjectName("addFilesMenu");
    addFiles->setShortcut(QKeySequence::Open);
    QAction* convert = file->addAction(tr("&Convert..."), this, [this] {
        if (convertButton_->isEnabled()) convertButton();
    });
    convert->setObjectName("convertMenu");
    convert->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    file->addSeparator();
    QAction* load = file->addAction(tr("&Load Options..."), this, &MainPanel::loadOptions);
    load->setObjectName("loadOptions");
    load->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    QAction* save = file->addAction(tr("&Save Options..."), this, &MainPanel::saveOptions);
    save->setObjectName("saveOptions");
    save->setShortcut(QKeySequence::Save);
    file->addSeparator();
    QAction* quit = file->addAction(tr("&Quit"), this, &MainPanel::close);
    quit->setObjectName("quitMenu");
    quit->setShortcut(QKeySequence::Quit);

    QMenu* calibration = menuBar()->addMenu(tr("&Calibration"));
    calibration->addAction(tr("&Straight Line..."), this, &MainPanel::straightLinePanelRequested)
        ->setObjectName("optionsMenu");
    calibration->addAction(tr("&Linear Fit to Points..."), this, &MainPanel::linearPointsPanelRequested)
        ->setObjectName("linearCalibration");
    calibration->addAction(tr("Spline &Points..."), this, &MainPanel::splinePanelRequested)
        ->setObjectName("SplineOptionsMenu");

    QMenu* options = menuBar()->addMenu(tr("&Output Options"));
    options->addAction(tr("&Constant Step..."), this, [this] { chain_->displayOptionPanels(OPT_CONSTANT_STEP); })
        ->setObjectName("constStepOption");
    options->addAction(tr("&Range..."), this, [this] { chain_->displayOptionPanels(OPT_RANGE); })
        ->setObjectName("rangeOptions");
    options->addSeparator();
    QMenu* lineEnds = options->addMenu(tr("&Line Ends of Written Files"));
    auto* group = new QActionGroup(this);
    crLfAction_ = lineEnds->addAction(tr("CR LF (Windows)"), this, [this] { setLineEnd(LineEnd::CrLf); });
    crLfAction_->setObjectName("lineEndCrLf");
    lfAction_ = lineEnds->addAction(tr("LF (Unix)"), this, [this] { setLineEnd(LineEnd::Lf); });
    lfAction_->setObjectName("lineEndLf");
    for (QAction* action : {crLfAction_, lfAction_}) {
        action->setCheckable(true);
        group->addAction(action);
    }
    (session_.settings.lineEnd == LineEnd::Lf ? lfAction_ : crLfAction_)->setChecked(true);

    addHelpMenu(this);
}

void MainPanel::addToolTips() {
    addButton_->setToolTip(tr("Add scans to the list (%1); files can also be dropped onto the list")
                               .arg(QKeySequence(QKeySequence::Open).toString(QKeySequence::NativeText)));
    removeButton_->setToolTip(tr("Take the selected files out of the list (Delete)"));
    removeAllButton_->setToolTip(tr("Empty the list"));
    convertButton_->setToolTip(tr("Convert every listed file (Ctrl+R)"));
    quitButton_->setToolTip(tr("End the program"));
    fileList_->setToolTip(tr("The files a batch converts; the first one decides which kind of file the list takes"));
    convertToTwoTheta_->setToolTip(tr("Off: the output lists channel and count, without any conversion"));
    linearMode_->setToolTip(tr("2-theta from the straight line with the K and C shown below"));
    splineMode_->setToolTip(tr("2-theta from the cubic spline through the calibration points"));
    fileAnglesMode_->setToolTip(tr("Keep the angles a GUFI file holds"));
    trailerMode_->setToolTip(tr("2-theta from the straight line each channel file stores in its trailer"));
    wholeTwoThetaBox_->setToolTip(tr("Round every 2-theta to a whole degree"));
    constantStepBox_->setToolTip(tr("Resample onto a constant 2-theta step (asked before the run)"));
    perSecondBox_->setToolTip(tr("Counts and uncertainties divided by each file's live time (XY, XYE, FXYE, CIF)"));
    limitRangeBox_->setToolTip(tr("Keep only a 2-theta range (asked before the run)"));
    outputFormat_->setToolTip(tr("The kind of file written for every input"));
}

MainPanelState MainPanel::state() const {
    MainPanelState state;
    state.fileKinds = fileList_->kinds();
    state.removeDimmed = !removeButton_->isEnabled();
    state.convertDimmed = !convertButton_->isEnabled();
    state.convertToTwoTheta = toggleOf(convertToTwoTheta_);
    state.linearMode = toggleOf(linearMode_);
    state.splineMode = toggleOf(splineMode_);
    state.fileAnglesMode = toggleOf(fileAnglesMode_);
    state.trailerMode = toggleOf(trailerMode_);
    state.conversionGroupDimmed = !conversionGroupControl_->isEnabled();
    state.lineGroupDimmed = !kDisplay_->isEnabled();
    state.wholeTwoThetaBox = toggleOf(wholeTwoThetaBox_);
    state.constantStepBox = toggleOf(constantStepBox_);
    state.limitRangeBox = toggleOf(limitRangeBox_);
    state.perSecondBox = toggleOf(perSecondBox_);
    state.outputFormat = outputFormat_->currentData().toInt();
    state.outputFormatDimmed = !outputFormat_->isEnabled();
    state.outputFormatText = outputFormatText_->text().toStdString();
    return state;
}

void MainPanel::applyState(const MainPanelState& state) {
    removeButton_->setEnabled(!state.removeDimmed);
    convertButton_->setEnabled(!state.convertDimmed);
    showToggle(convertToTwoTheta_, state.convertToTwoTheta);
    showToggle(linearMode_, state.linearMode);
    showToggle(splineMode_, state.splineMode);
    showToggle(fileAnglesMode_, state.fileAnglesMode);
    showToggle(trailerMode_, state.trailerMode);
    conversionGroupControl_->setEnabled(!state.conversionGroupDimmed);
    for (QWidget* widget : std::initializer_list<QWidget*>{kDisplay_, cDisplay_, kCaption_, cCaption_})
        widget->setEnabled(!state.lineGroupDimmed);
    showToggle(wholeTwoThetaBox_, state.wholeTwoThetaBox);
    showToggle(constantStepBox_, state.constantStepBox);
    showToggle(limitRangeBox_, state.limitRangeBox);
    showToggle(perSecondBox_, state.perSecondBox);
    const int index = outputFormat_->findData(state.outputFormat);
    if (index >= 0) outputFormat_->setCurrentIndex(index);
    outputFormat_->setEnabled(!state.outputFormatDimmed);
    outputFormatText_->setText(QString::fromStdString(state.outputFormatText));
}

void MainPanel::dimAsNeeded() {
    MainPanelState current = state();
    ui::dimAsNeeded(current);
    applyState(current);
    removeAllButton_->setEnabled(fileList_->count() > 0);
    fileCount_->setText(fileList_->count() == 1 ? tr("1 file") : tr("%1 files").arg(fileList_->count()));
}

void MainPanel::modeClicked(ModeButton button, bool onAfterClick) {
    MainPanelState current = state();
    clickModeButton(current, button, onAfterClick);
    applyState(current);
    updatePreview();
}

void MainPanel::outputFileTypeMenu() {
    MainPanelState current = state();
    displayOutputFileType(current);
    applyState(current);
}

std::vector<BatchInput> MainPanel::listedFiles() const { return fileList_->files(); }

void MainPanel::appendFiles(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) fileList_->appendFile({path, getFileType(path)});
    if (fileList_->currentRow() < 0 && fileList_->count() > 0) fileList_->setCurrentRow(0);
}

void MainPanel::addFiles(const std::vector<std::string>& paths) {
    const FileAddition addition = planAddition(fileList_->files(), paths, [](const std::string& path) {
        return QFileInfo(QString::fromStdString(path)).isDir();
    });
    for (const BatchInput& file : addition.added) fileList_->appendFile(file);
    // A non-empty list always has a current item: the one Remove takes out.
    if (fileList_->currentRow() < 0 && fileList_->count() > 0) fileList_->setCurrentRow(0);
    dimAsNeeded();
    updatePreview();
    if (const std::string refused = additionRefusalText(addition); !refused.empty())
        platform_.messagePopup(messages::kFilesNotAdded, refused);
}

void MainPanel::addFilesButton() {
    FileSelectOptions options = filePopup(session_.projectDir, "*.chn", messages::kSelectInputFiles, false);
    options.filterList = "*.chn; *.guf";
    const auto chosen = platform_.multiFileSelectPopup(options);
    if (!chosen) {
        dimAsNeeded();
        return;
    }
    addFiles(*chosen);
}

void MainPanel::removeAllFiles() {
    fileList_->clear();
    dimAsNeeded();
    updatePreview();
}

void MainPanel::removeFilesButton() {
    // Every selected file goes; with none selected, the current one (the one a single click chose).
    QList<QListWidgetItem*> chosen = fileList_->selectedItems();
    if (chosen.isEmpty() && fileList_->currentItem()) chosen << fileList_->currentItem();
    const int row = fileList_->currentRow();
    for (QListWidgetItem* item : chosen) delete fileList_->takeItem(fileList_->row(item));
    if (fileList_->currentRow() < 0 && fileList_->count() > 0)
        fileList_->setCurrentRow(std::min(std::max(row, 0), fileList_->count() - 1));
    if (fileList_->currentRow() < 0 && fileList_->count() > 0) fileList_->setCurrentRow(0);
    dimAsNeeded();
    updatePreview();
}

void MainPanel::convertButton() {
    const int set = convertPanelSet(state());
    hide();
    chain_->displayOptionPanels(set);
}

void MainPanel::runBatch() {
    const BatchChoices choices = readBatchChoices(panelChoices(state()), session_.settings.constStepOpts);
    // One job per core, as on the command line: the questions, messages and progress panel are
    // those of a batch converted one file after the other, only sooner over.
    const std::vector<BatchInput> files = fileList_->files();
    PlainBatchDialogs plain(platform_);
    auto* dialogs = dynamic_cast<BatchDialogs*>(&platform_);
    BatchFeedback feedback(platform_, dialogs ? *dialogs : plain, files.size());
    lastBatch_ = convertFiles(session_, feedback, files, choices, jobsPerCore());
    feedback.finish(lastBatch_);
}

void MainPanel::refreshCalibrationDisplays() {
    kDisplay_->setText(QString::fromStdString(formatFixed(session_.calibration.header.K, 3, 9)));
    cDisplay_->setText(QString::fromStdString(formatFixed(session_.calibration.header.C, 3, 9)));
    // The display keeps three decimals; the tooltip gives the number the conversion uses.
    kDisplay_->setToolTip(tr("K = %1 degrees").arg(numberText(session_.calibration.header.K)));
    cDisplay_->setToolTip(tr("C = %1 degrees per channel").arg(numberText(session_.calibration.header.C)));
    updatePreview();
}

void MainPanel::updatePreview() {
    QListWidgetItem* item = fileList_->currentItem();
    if (!item) {
        preview_->showNothing(fileList_->count() == 0 ? tr("Add scans to the list to preview them.")
                                                      : tr("Select a file in the list to preview it."));
        return;
    }
    PreviewSelection selection = readPreviewSelection(session_, previewedFiles(*fileList_), panelChoices(state()));
    preview_->showScans(std::move(selection.scans), selection.leftOut);
}

FileSelectOptions MainPanel::optionFilePopup() const {
    return filePopup(session_.projectDir, "*.pre", messages::kSelectOptionFile, true);
}

void MainPanel::loadOptions() {
    if (const auto path = platform_.fileSelectPopup(optionFilePopup())) {
        loadOptionFile(*path, session_.calibration, platform_);
        if (auto origin = readCalibrationOrigin(*path)) session_.calibrationOrigin = *origin;
    }
    refreshCalibrationDisplays();
}

void MainPanel::saveOptions() {
    FileSelectOptions options = optionFilePopup();
    options.forSaving = true;
    for (;;) {
        const auto chosen = platform_.fileSelectPopup(options);
        if (!chosen) return;
        const std::string path = withOptionFileExtension(*chosen);
        const SaveOutcome outcome =
            saveOptionsFile(path, false, session_.calibration, platform_, session_.settings.lineEnd);
        if (outcome == SaveOutcome::Written)
            recordCalibrationOrigin(path, session_.calibrationOrigin, session_.calibration, platform_,
                                    session_.settings.lineEnd);
        if (outcome != SaveOutcome::Declined) return;
    }
}

void MainPanel::setLineEnd(LineEnd lineEnd) {
    session_.settings.lineEnd = lineEnd;
    (lineEnd == LineEnd::Lf ? lfAction_ : crLfAction_)->setChecked(true);
    if (!session_.projectDir.empty()) saveLineEndPreference(session_.projectDir, lineEnd);
}

void MainPanel::restoreRememberedChoices() {
    const RememberedChoices choices = loadRememberedChoices(session_.projectDir);
    MainPanelState current = state();
    applyRememberedPanel(choices, current);
    applyState(current);
    if (choices.previewScale) preview_->setCountScale(*choices.previewScale);
    if (choices.previewStandard) preview_->chooseStandard(QString::fromStdString(*choices.previewStandard));
    // The window as the user left it; the first time, as large as suits the screen it opens on.
    if (choices.windowGeometry.isEmpty() || !restoreGeometry(choices.windowGeometry))
        resize(sizeForScreen(this, QSize(1180, 720)));
}

void MainPanel::rememberChoices() const {
    RememberedChoices choices;
    choices.windowGeometry = saveGeometry();
    rememberPanel(state(), choices);
    rememberRecords(session_.settings, choices);
    choices.previewScale = preview_->countScale();
    choices.previewStandard = preview_->chosenStandard().toStdString();
    // Not being able to remember is no reason to keep anyone from quitting.
    saveRememberedChoices(session_.projectDir, choices);
}

bool MainPanel::mayQuit() {
    if (session_.projectDir.empty() || !differsFromDefault(session_.calibration, session_.projectDir)) return true;
    const std::string text = unsavedCalibrationText(session_.projectDir);
    UnsavedCalibrationAnswer answer;
    if (auto* question = dynamic_cast<UnsavedCalibrationQuestion*>(&platform_))
        answer = question->askAboutUnsavedCalibration(messages::kUnsavedCalibrationTitle, text);
    else
        answer = platform_.confirmPopup(messages::kUnsavedCalibrationTitle, text)
                     ? UnsavedCalibrationAnswer::SaveAsDefault
                     : UnsavedCalibrationAnswer::QuitWithoutSaving;
    if (answer == UnsavedCalibrationAnswer::Cancel) return false;
    if (answer == UnsavedCalibrationAnswer::QuitWithoutSaving) return true;
    // A default that could not be written has been reported; the program stays, calibration and all.
    const std::string path = defaultOptionsPath(session_.projectDir);
    if (saveOptionsFile(path, true, session_.calibration, platform_, session_.settings.lineEnd) != SaveOutcome::Written)
        return false;
    recordCalibrationOrigin(path, session_.calibrationOrigin, session_.calibration, platform_,
                            session_.settings.lineEnd);
    return true;
}

void MainPanel::closeEvent(QCloseEvent* event) {
    if (!mayQuit()) {
        event->ignore();
        return;
    }
    rememberChoices();
    event->accept();
    emit quitRequested();
}

}  // namespace s2t::ui
