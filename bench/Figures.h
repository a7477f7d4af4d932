// Timing and printing for the benchmark: a steady clock, best-of repetitions and plain tables.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace bench {

inline constexpr int kRepetitions = 7;

double NowNs();

// Seconds of noise are the norm on a shared machine: the fastest of several runs is the figure.
struct Best {
    double value = 1e300;
    void Offer(double sample)
    {
        if (sample < value) value = sample;
    }
};

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

}  // namespace bench
