// The preview's chart view: turns the mouse and keys into requests in the chart's own values.
//   wheel                      zoom the abscissa in or out about the cursor
//   Ctrl + wheel               zoom the counts about the cursor
//   left drag                  rubber band: zoom onto the rectangle (a flat band: the abscissa alone)
//   middle drag, Shift + drag  pan
//   arrow keys                 pan by a tenth of the view; + and - zoom about the middle
//   double click, Home         back to the whole scan
#pragma once

#include <QChartView>
#include <QPoint>
#include <QPointF>

class QRubberBand;

namespace s2t::ui {

class PreviewChartView : public QChartView {
    Q_OBJECT
public:
    explicit PreviewChartView(QChart* chart, QWidget* parent = nullptr);

    // The chart value under a point of the view (the first series' axes).
    QPointF valueAt(const QPoint& viewPoint) const;

signals:
    void zoomRequested(QPointF about, double factor, bool counts);
    // Corners of a rubber band, in values; countsToo is false for a flat band.
    void rubberBandChosen(QPointF from, QPointF to, bool countsToo);
    // Moves by fractions of the view (positive: towards higher values).
    void panRequested(double xFraction, double countFraction);
    void resetRequested();
    void hovered(QPoint viewPoint);
    void left();

protected:
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    enum class Drag { None, Band, Pan };
    Drag drag_ = Drag::None;
    QPoint pressedAt_;
    QPoint lastAt_;
    QRubberBand* band_ = nullptr;
};

}  // namespace s2t::ui
