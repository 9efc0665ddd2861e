// The whole part of a pass's percentage, for loops that show progress at some whole percentages.
// The percentage at step i, percentAt(i), never falls as i grows, so its whole part changes at
// about a hundred places in a pass; it is computed exactly there (and wherever the loop asks for
// the percentage itself), not at every step. The places found are those where computing it at
// every step would see it change, so the displays get exactly the same calls.
#pragma once

namespace s2t {

template <class PercentAt>
class WholePercent {
public:
    // Steps run from 0 to total - 1 (or up to total); total > 0.
    WholePercent(long long total, PercentAt percentAt) : total_(total), percentAt_(percentAt) {}

    // The whole part of percentAt(i), for i never smaller than at the call before.
    int at(long long i) {
        if (i >= next_) advance(i);
        return whole_;
    }

private:
    int wholeAt(long long i) const { return static_cast<int>(percentAt_(i)); }

    void advance(long long i) {
        whole_ = wholeAt(i);
        // The next whole percentage starts near (whole + 1) x total / 100; the exact place is
        // found from there, one step at a time.
        long long next = (static_cast<long long>(whole_) + 1) * total_ / 100;
        if (next <= i) next = i + 1;
        while (next > i + 1 && wholeAt(next - 1) > whole_) --next;
        while (next <= total_ && wholeAt(next) <= whole_) ++next;
        next_ = next;
    }

    long long total_;
    PercentAt percentAt_;
    long long next_ = 0;  // the first step whose whole part has not been checked
    int whole_ = 0;
};

}  // namespace s2t
