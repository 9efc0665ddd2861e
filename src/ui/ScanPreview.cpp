#include "ui/ScanPreview.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>

#include <QCategoryAxis>
#include <QChart>
#include <QComboBox>
#include <QGraphicsEllipseItem>
#include <QGraphicsPathItem>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainterPath>
#include <QPushButton>
#include <QStackedLayout>
#include <QVBoxLayout>
#include <QValueAxis>

#include "platform/NumberText.h"
#include "standards/StandardDiscovery.h"
#include "ui/AxisTicks.h"
#include "ui/ColumnDecimation.h"
#include "ui/PreviewChartView.h"
#include "ui/StandardTicks.h"

namespace s2t::ui {
namespace {

// Colours that stay apart on white and for the common colour blindnesses; the first is the
// single scan's.
const QColor kScanColours[] = {QColor(0x1f, 0x77, 0xb4), QColor(0xd6, 0x27, 0x28), QColor(0x2c, 0xa0, 0x2c),
                               QColor(0xff, 0x7f, 0x0e), QColor(0x94, 0x67, 0xbd), QColor(0x8c, 0x56, 0x4b),
                               QColor(0xe3, 0x77, 0xc2), QColor(0x17, 0xbe, 0xcf)};
const QColor kTickColour(0x30, 0x30, 0x30);

// The reflection ticks reach this far up the plot, from its bottom edge.
constexpr double kTickHeight = 0.12;
// Count labels need about this many pixels each.
constexpr double kLabelSpacing = 28.0;
// The readout follows the cursor within this many pixels of a drawn scan.
constexpr double kReadoutReach = 40.0;

// A list that asks for its items again each time it opens: standards made or copied into the
// program folder while the program runs appear without a restart.
class RefreshingComboBox : public QComboBox {
public:
    RefreshingComboBox(QWidget* parent, std::function<void()> beforePopup)
            : QComboBox(parent), beforePopup_(std::move(beforePopup)) {}
    void showPopup() override {
        beforePopup_();
        QComboBox::showPopup();
    }

private:
    std::function<void()> beforePopup_;
};

QString countLabel(double count) { return QString::fromStdString(formatShortest(count)); }

}  // namespace

ScanPreview::ScanPreview(QWidget* parent) : QWidget(parent) {
    stack_ = new QStackedLayout(this);
    stack_->setContentsMargins(0, 0, 0, 0);

    messageLabel_ = new QLabel(this);
    messageLabel_->setObjectName("previewMessage");
    messageLabel_->setAlignment(Qt::AlignCenter);
    messageLabel_->setWordWrap(true);
    messageLabel_->setMargin(24);
    messageLabel_->setStyleSheet(
        "QLabel { color: palette(mid); background: palette(base);"
        " border: 1px solid palette(mid); }");

    chart_ = new QChart;
    chart_->legend()->hide();
    chart_->legend()->setAlignment(Qt::AlignBottom);
    chart_->setMargins(QMargins(4, 4, 8, 4));
    xAxis_ = new QValueAxis(chart_);
    yAxis_ = new QValueAxis(chart_);
    yAxis_->setTitleText(tr("Counts"));
    countLabels_ = new QCategoryAxis(chart_);
    countLabels_->setTitleText(tr("Counts"));
    countLabels_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    countLabels_->setVisible(false);
    chart_->addAxis(xAxis_, Qt::AlignBottom);
    chart_->addAxis(yAxis_, Qt::AlignLeft);
    chart_->addAxis(countLabels_, Qt::AlignLeft);
    // Names the ticks in the legend; it holds no points.
    standardLegend_ = new QLineSeries(chart_);
    standardLegend_->setPen(QPen(kTickColour, 2.0));
    chart_->addSeries(standardLegend_);
    standardLegend_->attachAxis(xAxis_);
    standardLegend_->attachAxis(yAxis_);

    ticks_ = new QGraphicsPathItem(chart_);
    ticks_->setPen(QPen(kTickColour, 1.5));
    ticks_->setZValue(20);
    marker_ = new QGraphicsEllipseItem(-4, -4, 8, 8, chart_);
    marker_->setPen(QPen(Qt::black, 1.2));
    marker_->setBrush(Qt::NoBrush);
    marker_->setZValue(21);
    marker_->hide();

    plotPage_ = new QWidget(this);
    auto* pageLayout = new QVBoxLayout(plotPage_);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->setSpacing(2);
    buildControls(plotPage_);
    view_ = new PreviewChartView(chart_, plotPage_);
    view_->setObjectName("previewChart");
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setMinimumSize(360, 240);
    pageLayout->addWidget(view_, 1);
    auto* bottomRow = new QHBoxLayout;
    readoutLabel_ = new QLabel(plotPage_);
    readoutLabel_->setObjectName("previewReadout");
    readoutLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    readoutLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    // The plot itself has no tooltip: it would cover the curve the cursor is reading.
    readoutLabel_->setToolTip(
        tr("The point nearest the cursor. On the plot the wheel zooms about the cursor"
           " (Ctrl: the counts), a drag zooms onto a rectangle, a middle or Shift drag"
           " and the arrow keys pan, a double click or Home shows the whole scan"));
    noteLabel_ = new QLabel(plotPage_);
    noteLabel_->setObjectName("previewNote");
    noteLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    noteLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    noteLabel_->setEnabled(false);
    bottomRow->addWidget(readoutLabel_, 3);
    bottomRow->addWidget(noteLabel_, 2);
    pageLayout->addLayout(bottomRow);

    stack_->addWidget(messageLabel_);
    stack_->addWidget(plotPage_);

    connect(view_, &PreviewChartView::zoomRequested, this, [this](QPointF about, double factor, bool counts) {
        if (counts)
            zoomCountsAbout(about.y(), factor);
        else
            zoomAbout(about.x(), factor);
    });
    connect(view_, &PreviewChartView::rubberBandChosen, this, [this](QPointF from, QPointF to, bool countsToo) {
        const AxisRange counts{to.y(), from.y()};
        zoomTo({from.x(), to.x()}, countsToo ? &counts : nullptr);
    });
    connect(view_, &PreviewChartView::panRequested, this, &ScanPreview::pan);
    connect(view_, &PreviewChartView::resetRequested, this, &ScanPreview::resetView);
    connect(view_, &PreviewChartView::hovered, this, &ScanPreview::hoverAt);
    connect(view_, &PreviewChartView::left, this, &ScanPreview::clearReadout);
    // A new width changes how many points each column takes.
    connect(chart_, &QChart::plotAreaChanged, this, [this] {
        if (!redrawing_) redraw();
    });
    showNothing(tr("Select a file in the list to preview it."));
}

ScanPreview::~ScanPreview() = default;

void ScanPreview::buildControls(QWidget* page) {
    // No captions: the items say what they choose, so that the row fits the narrowest preview.
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    scaleChoice_ = new QComboBox(page);
    scaleChoice_->setObjectName("previewScale");
    scaleChoice_->addItem(tr("Linear counts"), static_cast<int>(CountScale::Linear));
    scaleChoice_->addItem(tr("Square-root counts"), static_cast<int>(CountScale::SquareRoot));
    scaleChoice_->addItem(tr("Log counts"), static_cast<int>(CountScale::Log));
    scaleChoice_->setToolTip(
        tr("How the counts are drawn: square root and log show weak reflections beside"
           " strong ones (empty channels lie at the bottom of the log scale)"));
    standardChoice_ = new RefreshingComboBox(page, [this] { refreshStandards(); });
    standardChoice_->setObjectName("previewStandard");
    standardChoice_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    standardChoice_->setMinimumContentsLength(12);
    standardChoice_->setToolTip(tr("Ticks the reflections of a standard of the program folder under the scan"));
    resetButton_ = new QPushButton(tr("Whole Scan"), page);
    resetButton_->setObjectName("previewReset");
    resetButton_->setToolTip(tr("Shows the whole scan again (double click on the plot, or Home)"));
    resetButton_->setEnabled(false);
    row->addWidget(scaleChoice_);
    row->addWidget(standardChoice_);
    row->addStretch(1);
    row->addWidget(resetButton_);
    static_cast<QVBoxLayout*>(page->layout())->addLayout(row);
    refreshStandards();

    connect(scaleChoice_, &QComboBox::activated, this,
            [this](int index) { setCountScale(static_cast<CountScale>(scaleChoice_->itemData(index).toInt())); });
    connect(standardChoice_, &QComboBox::activated, this, [this] { readChosenStandard(); });
    connect(resetButton_, &QPushButton::clicked, this, &ScanPreview::resetView);
}

void ScanPreview::setProgramFolder(const std::string& folder) {
    programFolder_ = folder;
    refreshStandards();
}

void ScanPreview::refreshStandards() {
    const QString chosen = standardChoice_->currentData().toString();
    standardChoice_->clear();
    standardChoice_->addItem(tr("No standard ticks"), QString());
    if (!programFolder_.empty()) {
        std::vector<StandardEntry> standards = checkForStandards(programFolder_);
        std::sort(standards.begin(), standards.end(),
                  [](const StandardEntry& a, const StandardEntry& b) { return a.name < b.name; });
        for (const StandardEntry& entry : standards)
            standardChoice_->addItem(QString::fromStdString(entry.name), QString::fromStdString(entry.path));
    }
    const int keep = standardChoice_->findData(chosen);
    standardChoice_->setCurrentIndex(std::max(keep, 0));
}

QStringList ScanPreview::standardNames() const {
    QStringList names;
    for (int i = 0; i < standardChoice_->count(); ++i) names << standardChoice_->itemText(i);
    return names;
}

bool ScanPreview::chooseStandard(const QString& name) {
    const int index = standardChoice_->findText(name);
    if (index < 0) return false;
    standardChoice_->setCurrentIndex(index);
    readChosenStandard();
    return true;
}

QString ScanPreview::chosenStandard() const {
    return standardChoice_->currentData().toString().isEmpty() ? QString() : standardChoice_->currentText();
}

void ScanPreview::readChosenStandard() {
    reflections_.clear();
    standardProblem_.clear();
    const std::string path = standardChoice_->currentData().toString().toStdString();
    if (!path.empty()) {
        std::string why;
        reflections_ = standardReflections(path, why);
        if (!why.empty()) standardProblem_ = standardChoice_->currentText() + ": " + QString::fromStdString(why);
    }
    standardLegend_->setName(path.empty() ? QString() : tr("%1 reflections").arg(standardChoice_->currentText()));
    redraw();
}

void ScanPreview::showMessage(const QString& text) {
    dropScans();
    clearReadout();
    messageLabel_->setText(text);
    stack_->setCurrentWidget(messageLabel_);
}

void ScanPreview::dropScans() {
    for (Plotted& scan : plotted_) {
        chart_->removeSeries(scan.series);
        delete scan.series;
    }
    plotted_.clear();
    problems_.clear();
}

void ScanPreview::showNothing(const QString& hint) { showMessage(hint); }

void ScanPreview::showScan(const QString& fileName, const PreviewData& data) {
    std::vector<PreviewedScan> scans;
    scans.push_back({fileName, data});
    showScans(std::move(scans));
}

void ScanPreview::showScans(std::vector<PreviewedScan> scans, int leftOut) {
    if (scans.empty()) return showNothing(tr("Select a file in the list to preview it."));
    const PreviewedScan& first = scans.front();
    // The file's own description tells scans of one name pattern apart.
    chart_->setTitle(first.data.description.empty()
                         ? first.name
                         : first.name + QString::fromUtf8(" \u2014 ") + QString::fromStdString(first.data.description));
    if (!first.data.error.empty()) return showMessage(QString::fromStdString(previewFailureText(first.data.error)));
    if (first.data.x.empty())
        return showMessage(QString::fromStdString(previewFailureText("the file holds no points")));

    // The view stays where the user put it while the same scan is shown the same way (another
    // overlay, a recalibration); another scan starts whole.
    const bool sameScan = !plotted_.empty() && plotted_.front().name == first.name &&
                          plotted_.front().data.againstChannel == first.data.againstChannel;
    dropScans();
    leftOut_ = leftOut;
    clearReadout();

    for (PreviewedScan& scan : scans) {
        if (!scan.data.error.empty() || scan.data.x.empty()) {
            problems_ << scan.name + ": " +
                             QString::fromStdString(previewFailureText(
                                 scan.data.error.empty() ? std::string("the file holds no points") : scan.data.error));
            continue;
        }
        if (scan.data.againstChannel != first.data.againstChannel) continue;
        Plotted plotted;
        plotted.name = scan.name;
        plotted.data = std::move(scan.data);
        const std::vector<double>& x = plotted.data.x;
        if (!std::is_sorted(x.begin(), x.end())) {
            plotted.order.resize(x.size());
            std::iota(plotted.order.begin(), plotted.order.end(), std::size_t{0});
            std::stable_sort(plotted.order.begin(), plotted.order.end(),
                             [&x](std::size_t a, std::size_t b) { return x[a] < x[b]; });
            plotted.x.reserve(x.size());
            for (std::size_t index : plotted.order) plotted.x.push_back(x[index]);
        } else {
            plotted.x = x;
        }
        const QColor colour = kScanColours[plotted_.size() % std::size(kScanColours)];
        plotted.series = new QLineSeries(chart_);
        plotted.series->setName(plotted.name);
        plotted.series->setPen(QPen(colour, 1.2));
        plotted_.push_back(std::move(plotted));
    }
    // The chart draws its series in the order they were added: the first scan (the current file)
    // goes last, on top of the others; the standard's legend entry follows the scans.
    chart_->removeSeries(standardLegend_);
    for (auto scan = plotted_.rbegin(); scan != plotted_.rend(); ++scan) {
        chart_->addSeries(scan->series);
        scan->series->attachAxis(xAxis_);
        scan->series->attachAxis(yAxis_);
        scan->series->attachAxis(countLabels_);
    }
    chart_->addSeries(standardLegend_);
    standardLegend_->attachAxis(xAxis_);
    standardLegend_->attachAxis(yAxis_);
    const bool several = plotted_.size() > 1;
    chart_->setTitle(several ? tr("%1 scans").arg(plotted_.size()) : chart_->title());
    xAxis_->setTitleText(first.data.againstChannel ? tr("Channel") : tr("2-theta (degrees)"));

    prepareCounts();
    AxisRange xExtent{plotted_.front().x.front(), plotted_.front().x.back()};
    for (const Plotted& scan : plotted_) {
        xExtent.low = std::min(xExtent.low, scan.x.front());
        xExtent.high = std::max(xExtent.high, scan.x.back());
    }
    if (!(xExtent.high > xExtent.low)) xExtent.high = xExtent.low + 1.0;
    if (sameScan)
        viewport_.changeExtent(xExtent, countRangeOver(xExtent));
    else
        viewport_.setExtent(xExtent, countRangeOver(xExtent));
    updateNote();
    stack_->setCurrentWidget(plotPage_);
    redraw();
}

void ScanPreview::prepareCounts() {
    double floor = 0.0;
    for (const Plotted& scan : plotted_) floor = logFloorFor(scan.data.counts, floor);
    scaleMap_ = CountScaleMap(scaleMap_.scale(), floor);
    for (Plotted& scan : plotted_) {
        const std::vector<double>& counts = scan.data.counts;
        scan.axisCounts.resize(counts.size());
        for (std::size_t i = 0; i < counts.size(); ++i)
            scan.axisCounts[i] = scaleMap_.toAxis(counts[scan.order.empty() ? i : scan.order[i]]);
    }
}

// The count axis over abscissae x: from zero (the floor of the log scale) to a little above the
// highest count shown, rounded up to a whole tick on the linear scale.
AxisRange ScanPreview::countRangeOver(const AxisRange& x) const {
    double lowest = 0.0, highest = 0.0;
    bool any = false;
    for (const Plotted& scan : plotted_) {
        const auto begin = std::lower_bound(scan.x.begin(), scan.x.end(), x.low);
        const auto end = std::upper_bound(scan.x.begin(), scan.x.end(), x.high);
        for (auto at = begin; at != end; ++at) {
            const double count = scan.axisCounts[static_cast<std::size_t>(at - scan.x.begin())];
            if (!any || count < lowest) lowest = count;
            if (!any || count > highest) highest = count;
            any = true;
        }
    }
    const double base = scaleMap_.toAxis(scaleMap_.scale() == CountScale::Log ? scaleMap_.logFloor() : 0.0);
    const double low = std::min(base, any ? lowest : base);
    double high = any ? highest : low + 1.0;
    if (scaleMap_.scale() == CountScale::Linear) {
        if (!(high > low)) high = low + 1.0;
        const double interval = niceInterval(high * 1.05 - low);
        return {low, std::ceil(high * 1.05 / interval) * interval};
    }
    if (!(high > low)) high = low + 1.0;
    return {low, high + (high - low) * 0.05};
}

void ScanPreview::setCountScale(CountScale scale) {
    scaleChoice_->setCurrentIndex(scaleChoice_->findData(static_cast<int>(scale)));
    if (scale == scaleMap_.scale()) return;
    scaleMap_ = CountScaleMap(scale, scaleMap_.logFloor());
    if (plotted_.empty()) return;
    prepareCounts();
    viewport_.changeExtent(viewport_.xExtent(), countRangeOver(viewport_.xExtent()));
    redraw();
}

void ScanPreview::zoomAbout(double x, double factor) {
    if (plotted_.empty()) return;
    viewport_.zoomAbout(x, factor);
    redraw();
}

void ScanPreview::zoomCountsAbout(double countAxisValue, double factor) {
    if (plotted_.empty()) return;
    viewport_.zoomCountsAbout(countAxisValue, factor);
    redraw();
}

void ScanPreview::zoomTo(const AxisRange& x, const AxisRange* countAxisValues) {
    if (plotted_.empty()) return;
    viewport_.zoomTo(x, countAxisValues);
    redraw();
}

void ScanPreview::pan(double xFraction, double countFraction) {
    if (plotted_.empty()) return;
    viewport_.pan(xFraction, countFraction);
    redraw();
}

void ScanPreview::resetView() {
    if (plotted_.empty()) return;
    viewport_.reset();
    redraw();
}

void ScanPreview::redraw() {
    if (plotted_.empty() || redrawing_) return;
    redrawing_ = true;
    const AxisRange x = viewport_.x();
    viewport_.fitCounts(countRangeOver(x));
    const AxisRange counts = viewport_.counts();
    // The abscissa first: the points below are chosen for its width in pixels.
    setDynamicTicks(xAxis_, x.low, x.high);
    // A low plot (a small screen) gets fewer count labels rather than labels cut to "...".
    setDynamicTicks(yAxis_, counts.low, counts.high, countLabelRoom());
    placeCountLabels(counts);
    const int columns = std::max(100, static_cast<int>(chart_->plotArea().width()));
    for (Plotted& scan : plotted_) {
        const std::vector<std::size_t> kept = decimatedIndices(scan.x, scan.axisCounts, x.low, x.high, columns);
        QList<QPointF> points;
        points.reserve(static_cast<qsizetype>(kept.size()));
        for (std::size_t index : kept) points.append(QPointF(scan.x[index], scan.axisCounts[index]));
        scan.series->replace(points);
    }
    chart_->legend()->setVisible(plotted_.size() > 1 || !reflections_.empty());
    if (!chart_->legend()->markers(standardLegend_).isEmpty())
        chart_->legend()->markers(standardLegend_).front()->setVisible(!reflections_.empty());
    tickPositions_ = reflectionPositions(reflections_, plotted_.front().data);
    resetButton_->setEnabled(viewport_.zoomed());
    updateNote();
    redrawing_ = false;
    placeOverlay();
}

double ScanPreview::countLabelRoom() const {
    const double height = chart_->plotArea().height();
    // Before the first layout the plot has no height yet: the full number until it has one.
    return height > 0.0 ? std::clamp(height / kLabelSpacing, 3.0, 8.0) : 8.0;
}

void ScanPreview::placeCountLabels(const AxisRange& counts) {
    const bool linear = scaleMap_.scale() == CountScale::Linear;
    yAxis_->setVisible(linear);
    countLabels_->setVisible(!linear);
    for (const QString& label : countLabels_->categoriesLabels()) countLabels_->remove(label);
    countLabels_->setRange(counts.low, counts.high);
    if (linear) return;
    // Each label sits at its count's place; the first category starts just under the range, so
    // that a label at the very bottom (zero, the log floor) is drawn too.
    countLabels_->setStartValue(counts.low - counts.span() * 1e-6);
    for (double count : labelledCounts()) countLabels_->append(countLabel(count), scaleMap_.toAxis(count));
}

std::vector<double> ScanPreview::labelledCounts() const {
    if (scaleMap_.scale() == CountScale::Linear) return {};
    const AxisRange counts = viewport_.counts();
    std::vector<double> labelled;
    for (double count : countTicks(scaleMap_, counts.low, counts.high, static_cast<int>(countLabelRoom()))) {
        const double at = scaleMap_.toAxis(count);
        if (at >= counts.low - counts.span() * 1e-9 && at <= counts.high + counts.span() * 1e-9)
            labelled.push_back(count);
    }
    return labelled;
}

void ScanPreview::placeOverlay() {
    QPainterPath path;
    if (!plotted_.empty()) {
        const QRectF area = chart_->plotArea();
        const AxisRange x = viewport_.x();
        for (double position : tickPositions_) {
            if (position < x.low || position > x.high) continue;
            const double at =
                chart_->mapToPosition(QPointF(position, viewport_.counts().low), plotted_.front().series).x();
            path.moveTo(at, area.bottom());
            path.lineTo(at, area.bottom() - area.height() * kTickHeight);
        }
    }
    ticks_->setPath(path);
    if (readoutScan_ >= 0 && readoutScan_ < scanCount()) {
        const Plotted& scan = plotted_[static_cast<std::size_t>(readoutScan_)];
        const std::size_t index = readoutValues_.index;
        const QPointF value(scan.data.x[index], scaleMap_.toAxis(scan.data.counts[index]));
        const QPointF at = chart_->mapToPosition(value, scan.series);
        marker_->setPos(at);
        marker_->setVisible(chart_->plotArea().adjusted(-1, -1, 1, 1).contains(at));
    } else {
        marker_->hide();
    }
}

void ScanPreview::hoverAt(const QPoint& viewPoint) {
    if (plotted_.empty()) return;
    const QPointF scenePoint = view_->mapToScene(viewPoint);
    if (!chart_->plotArea().contains(scenePoint)) return clearReadout();
    pointTo(view_->valueAt(viewPoint));
}

bool ScanPreview::pointTo(const QPointF& value) {
    // The nearest point of each scan by abscissa; of those, the one nearest the cursor on the
    // screen, within reach.
    int bestScan = -1;
    std::size_t bestIndex = 0;
    double bestDistance = 0.0;
    for (std::size_t s = 0; s < plotted_.size(); ++s) {
        const Plotted& scan = plotted_[s];
        const auto after = std::lower_bound(scan.x.begin(), scan.x.end(), value.x());
        std::size_t sorted = static_cast<std::size_t>(after - scan.x.begin());
        if (sorted == scan.x.size() || (sorted > 0 && value.x() - scan.x[sorted - 1] < scan.x[sorted] - value.x()))
            sorted = sorted == 0 ? 0 : sorted - 1;
        const QPointF at = chart_->mapToPosition(QPointF(scan.x[sorted], scan.axisCounts[sorted]), scan.series);
        const QPointF cursor = chart_->mapToPosition(value, scan.series);
        const double distance = std::hypot(at.x() - cursor.x(), at.y() - cursor.y());
        if (bestScan < 0 || distance < bestDistance) {
            bestScan = static_cast<int>(s);
            bestIndex = scan.order.empty() ? sorted : scan.order[sorted];
            bestDistance = distance;
        }
    }
    // With one scan the readout follows the abscissa alone, wherever the cursor is above it.
    if (bestScan < 0 || (plotted_.size() > 1 && bestDistance > kReadoutReach)) {
        clearReadout();
        return false;
    }
    readoutScan_ = bestScan;
    const Plotted& scan = plotted_[static_cast<std::size_t>(bestScan)];
    readoutValues_ = s2t::ui::readoutValues(scan.data, bestIndex);
    const QString text = QString::fromStdString(readoutText(scan.data, readoutValues_));
    readoutLabel_->setText(plotted_.size() > 1 ? scan.name + ":   " + text : text);
    placeOverlay();
    return true;
}

void ScanPreview::clearReadout() {
    readoutScan_ = -1;
    readoutValues_ = {};
    readoutLabel_->setText(plotted_.empty() ? QString() : tr("Point at the plot to read a channel, 2-theta and count"));
    marker_->hide();
}

QString ScanPreview::readout() const { return readoutScan_ >= 0 ? readoutLabel_->text() : QString(); }

void ScanPreview::updateNote() {
    QStringList parts;
    if (leftOut_ > 0) parts << tr("%n more selected not shown", nullptr, leftOut_);
    if (!problems_.isEmpty()) parts << tr("not shown: %1").arg(problems_.join("; "));
    if (!standardProblem_.isEmpty())
        parts << standardProblem_;
    else if (!reflections_.empty() && tickPositions_.empty() && !plotted_.empty())
        parts << tr("no reflection of %1 lies in the scan").arg(standardChoice_->currentText());
    noteLabel_->setText(parts.join("   "));
    noteLabel_->setToolTip(parts.join("\n"));
}

QString ScanPreview::note() const { return noteLabel_->text(); }

QString ScanPreview::message() const {
    return stack_->currentWidget() == messageLabel_ ? messageLabel_->text() : QString();
}

int ScanPreview::pointCount() const { return plotted_.empty() ? 0 : static_cast<int>(plotted_.front().data.x.size()); }

QPointF ScanPreview::pointAt(int index) const {
    const PreviewData& data = plotted_.front().data;
    const auto at = static_cast<std::size_t>(index);
    return {data.x[at], data.counts[at]};
}

QString ScanPreview::scanName(int scan) const { return plotted_[static_cast<std::size_t>(scan)].name; }

QColor ScanPreview::scanColour(int scan) const {
    return plotted_[static_cast<std::size_t>(scan)].series->pen().color();
}

int ScanPreview::drawnPointCount(int scan) const {
    return static_cast<int>(plotted_[static_cast<std::size_t>(scan)].series->count());
}

QPointF ScanPreview::drawnPointAt(int scan, int index) const {
    return plotted_[static_cast<std::size_t>(scan)].series->at(index);
}

QString ScanPreview::horizontalTitle() const { return xAxis_->titleText(); }

QString ScanPreview::title() const { return chart_->title(); }

}  // namespace s2t::ui
