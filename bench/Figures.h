// Timing and printing for the benchmark: a steady clock, ratios from interleaved rounds, plain
// tables and the closing summary of targets.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace bench {

inline constexpr int kRepetitions = 7;

double NowNs();

// The least of several readings: for figures that only grow with noise, such as memory.
struct Best {
    double value = 1e300;
    void Offer(double sample)
    {
        if (sample < value) value = sample;
    }
};

// Many readings of one quantity, summed up by their median and middle half. On a shared machine
// a slow spell lands on a few readings; the median does not move with them.
class Samples {
public:
    void Add(double value) { values_.push_back(value); }
    // Subject over baseline of one round in which both were measured back to back.
    void AddRatio(double subject, double baseline)
    {
        if (subject > 0 && baseline > 0) values_.push_back(subject / baseline);
    }
    size_t Count() const { return values_.size(); }
    double Quantile(double q) const;
    double Median() const { return Quantile(0.5); }
    // "0.991-1.024": the first to the third quartile.
    std::string MiddleHalf(int decimals = 3) const;

private:
    std::vector<double> values_;
};

// One round of actions taking turns: in each of `turns` turns every one of `count` actions runs
// once, `act(i)` running action i, the order rotating from turn to turn and from round to round.
// Gives each action's median time in ns: a preemption of the thread spoils a few turns, not the
// medians, and a slow spell of the machine lands on all the actions alike.
template <typename Act>
std::vector<double> MedianTurns(size_t count, int turns, int round, Act act)
{
    std::vector<Samples> times(count);
    for (int turn = 0; turn < turns; ++turn) {
        for (size_t k = 0; k < count; ++k) {
            const size_t which = (static_cast<size_t>(turn + round) + k) % count;
            const double start = NowNs();
            act(which);
            times[which].Add(NowNs() - start);
        }
    }
    std::vector<double> medians;
    for (const Samples& each : times) medians.push_back(each.Median());
    return medians;
}

std::string Fixed(double value, int decimals);
std::string Ratio(double value, double baseline);

class Table {
public:
    Table(std::string title, std::vector<std::string> header);
    void Add(std::vector<std::string> row);
    // Names go left, figures right; a column of text may be put left as well.
    void AlignLeft(size_t column) { leftColumns_.push_back(column); }
    void Print() const;

private:
    std::string title_;
    std::vector<std::vector<std::string>> rows_;
    std::vector<size_t> leftColumns_{0};
};

// Each target is recorded where it is measured and printed once more at the very end, one line
// each, for scripts: "target <architecture>/<name> <figure> <limit> met|missed". A figure met
// when it is at most its limit; a missing figure (a measure that could not run) is missed.
void RecordTarget(const char* name, double figure, double limit, int decimals);
void PrintTargets();

}  // namespace bench
