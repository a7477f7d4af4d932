// Clock, medians, number formatting, table layout and the summary of targets.
#include "bench/Figures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace bench {

double NowNs()
{
    static const double nsPerTick = [] {
        LARGE_INTEGER frequency{};
        QueryPerformanceFrequency(&frequency);
        return 1e9 / static_cast<double>(frequency.QuadPart);
    }();
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * nsPerTick;
}

// Linear between the two nearest readings, as most statistics packages do.
double Samples::Quantile(double q) const
{
    if (values_.empty()) return 0;
    std::vector<double> sorted = values_;
    std::sort(sorted.begin(), sorted.end());
    const double at = q * static_cast<double>(sorted.size() - 1);
    const size_t below = static_cast<size_t>(at);
    if (below + 1 >= sorted.size()) return sorted.back();
    return sorted[below] + (at - static_cast<double>(below)) * (sorted[below + 1] - sorted[below]);
}

std::string Samples::MiddleHalf(int decimals) const
{
    if (values_.empty()) return "-";
    return Fixed(Quantile(0.25), decimals) + "-" + Fixed(Quantile(0.75), decimals);
}

std::string Fixed(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string Ratio(double value, double baseline)
{
    return baseline > 0 ? Fixed(value / baseline, 3) : "-";
}

Table::Table(std::string title, std::vector<std::string> header) : title_(std::move(title))
{
    rows_.push_back(std::move(header));
}

void Table::Add(std::vector<std::string> row)
{
    rows_.push_back(std::move(row));
}

void Table::Print() const
{
    std::vector<size_t> widths;
    for (const auto& row : rows_) {
        widths.resize(std::max(widths.size(), row.size()));
        for (size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
    }
    std::printf("\n%s\n", title_.c_str());
    for (size_t r = 0; r < rows_.size(); ++r) {
        std::string line;
        for (size_t i = 0; i < rows_[r].size(); ++i) {
            const std::string& cell = rows_[r][i];
            const std::string pad(widths[i] - cell.size(), ' ');
            const bool left = std::find(leftColumns_.begin(), leftColumns_.end(), i) != leftColumns_.end();
            line += (i == 0 ? "" : "  ") + (left ? cell + pad : pad + cell);
        }
        line.erase(line.find_last_not_of(' ') + 1);
        std::printf("%s\n", line.c_str());
        if (r == 0) std::printf("%s\n", std::string(line.size(), '-').c_str());
    }
    std::fflush(stdout);
}

namespace {

std::vector<std::string> targets;

std::string Limit(double limit)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", limit);
    return text;
}

}  // namespace

void RecordTarget(const char* name, double figure, double limit, int decimals)
{
    const bool measured = std::isfinite(figure);
    targets.push_back(std::string("target ") + (sizeof(void*) == 8 ? "x64/" : "x86/") + name + " " +
                      (measured ? Fixed(figure, decimals) : "-") + " " + Limit(limit) + " " +
                      (measured && figure <= limit ? "met" : "missed"));
}

void PrintTargets()
{
    if (targets.empty()) return;
    std::printf("\n");
    for (const std::string& line : targets) std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

}  // namespace bench
