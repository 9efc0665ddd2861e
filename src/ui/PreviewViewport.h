// What part of the preview's plot is shown: the abscissa range and the count range (in axis
// values of the count scale), within the extent of the data. Zoom, pan and reset act here; the
// widget only turns mouse and keys into these calls and draws the result.
#pragma once

namespace s2t::ui {

struct AxisRange {
    double low = 0.0;
    double high = 1.0;
    double span() const { return high - low; }
    bool operator==(const AxisRange&) const = default;
};

class PreviewViewport {
public:
    // The whole data; the view goes back to it.
    void setExtent(const AxisRange& x, const AxisRange& counts);
    // A new extent for the same scans (another count scale, a recalibration): a zoomed abscissa
    // is kept where it still lies within the data, the counts follow the data again.
    void changeExtent(const AxisRange& x, const AxisRange& counts);

    const AxisRange& x() const { return x_; }
    const AxisRange& counts() const { return counts_; }
    const AxisRange& xExtent() const { return xExtent_; }
    const AxisRange& countExtent() const { return countExtent_; }
    bool zoomed() const { return !(x_ == xExtent_) || !countsFollowData_; }
    // Whether the count range is the owner's to fit to the data shown (true until the user sets
    // it by a rubber band, a count zoom or a vertical pan).
    bool countsFollowData() const { return countsFollowData_; }
    void fitCounts(const AxisRange& counts);

    // factor < 1 zooms in: the abscissa `about` stays where it is on the screen.
    void zoomAbout(double about, double factor);
    void zoomCountsAbout(double about, double factor);
    // A rubber band: both ranges, or the abscissa alone when counts is null.
    void zoomTo(const AxisRange& x, const AxisRange* counts);
    // Moves the view by fractions of its width and height (positive: towards higher values).
    void pan(double xFraction, double countFraction);
    void reset();

private:
    AxisRange clampedX(AxisRange range) const;
    AxisRange clampedCounts(AxisRange range) const;

    AxisRange xExtent_, countExtent_;
    AxisRange x_, counts_;
    bool countsFollowData_ = true;
};

}  // namespace s2t::ui
