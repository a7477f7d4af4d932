// Clock, number formatting and table layout.
#include "bench/Figures.h"

#include <algorithm>
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

}  // namespace bench
