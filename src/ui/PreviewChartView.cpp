#include "ui/PreviewChartView.h"

#include <QChart>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRubberBand>
#include <QWheelEvent>
#include <cmath>

namespace s2t::ui {
namespace {

// One notch of a wheel (120 units) zooms by a fifth; a flat band is one under this many pixels
// high.
constexpr double kZoomPerNotch = 0.8;
constexpr int kFlatBand = 6;
constexpr int kSmallestBand = 4;

}  // namespace

PreviewChartView::PreviewChartView(QChart* chart, QWidget* parent) : QChartView(chart, parent) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    // Our own band: the view's would zoom the chart behind the preview's back.
    setRubberBand(QChartView::NoRubberBand);
    setDragMode(QGraphicsView::NoDrag);
    band_ = new QRubberBand(QRubberBand::Rectangle, viewport());
}

QPointF PreviewChartView::valueAt(const QPoint& viewPoint) const {
    const QList<QAbstractSeries*> series = chart()->series();
    return chart()->mapToValue(mapToScene(viewPoint), series.isEmpty() ? nullptr : series.front());
}

void PreviewChartView::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0) return event->ignore();
    const double factor = std::pow(kZoomPerNotch, delta / 120.0);
    emit zoomRequested(valueAt(event->position().toPoint()), factor, event->modifiers().testFlag(Qt::ControlModifier));
    event->accept();
}

void PreviewChartView::mousePressEvent(QMouseEvent* event) {
    pressedAt_ = lastAt_ = event->position().toPoint();
    const bool pan = event->button() == Qt::MiddleButton ||
                     (event->button() == Qt::LeftButton && event->modifiers().testFlag(Qt::ShiftModifier));
    if (pan) {
        drag_ = Drag::Pan;
        setCursor(Qt::ClosedHandCursor);
    } else if (event->button() == Qt::LeftButton) {
        drag_ = Drag::Band;
        band_->setGeometry(QRect(pressedAt_, QSize()));
        band_->show();
    }
    setFocus(Qt::MouseFocusReason);
    event->accept();
}

void PreviewChartView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (drag_ == Drag::Band) {
        band_->setGeometry(QRect(pressedAt_, at).normalized());
    } else if (drag_ == Drag::Pan) {
        const QRectF area = chart()->plotArea();
        if (area.width() > 0 && area.height() > 0)
            emit panRequested(-(at.x() - lastAt_.x()) / area.width(), (at.y() - lastAt_.y()) / area.height());
    }
    lastAt_ = at;
    emit hovered(at);
    event->accept();
}

void PreviewChartView::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (drag_ == Drag::Band) {
        band_->hide();
        const QRect rect = QRect(pressedAt_, at).normalized();
        if (rect.width() >= kSmallestBand)
            emit rubberBandChosen(valueAt(rect.topLeft()), valueAt(rect.bottomRight()), rect.height() >= kFlatBand);
    }
    if (drag_ == Drag::Pan) unsetCursor();
    drag_ = Drag::None;
    event->accept();
}

void PreviewChartView::mouseDoubleClickEvent(QMouseEvent* event) {
    band_->hide();
    drag_ = Drag::None;
    emit resetRequested();
    event->accept();
}

void PreviewChartView::keyPressEvent(QKeyEvent* event) {
    const QPointF middle = valueAt(mapFromScene(chart()->plotArea().center()));
    switch (event->key()) {
    case Qt::Key_Left: emit panRequested(-0.1, 0.0); break;
    case Qt::Key_Right: emit panRequested(0.1, 0.0); break;
    case Qt::Key_Up: emit panRequested(0.0, 0.1); break;
    case Qt::Key_Down: emit panRequested(0.0, -0.1); break;
    case Qt::Key_Plus:
    case Qt::Key_Equal: emit zoomRequested(middle, kZoomPerNotch, false); break;
    case Qt::Key_Minus: emit zoomRequested(middle, 1.0 / kZoomPerNotch, false); break;
    case Qt::Key_Home: emit resetRequested(); break;
    default: return QChartView::keyPressEvent(event);
    }
    event->accept();
}

void PreviewChartView::leaveEvent(QEvent* event) {
    emit left();
    QChartView::leaveEvent(event);
}

}  // namespace s2t::ui
