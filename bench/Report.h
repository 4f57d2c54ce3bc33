#pragma once
// What every benchmark program prints for the summary table: one ROW line per figure,
// with the floor it is compared with, both measured in the same run, each as
// min / median / max of its samples. bench/run_all.sh collects these lines.
//
//   ROW <tab> figure <tab> unit <tab> min <tab> median <tab> max
//       <tab> floor <tab> min <tab> median <tab> max
//   NOTE <tab> text
//
// A floor without samples is printed as "-".

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace velquor::bench {

struct Stats {
    double min = 0;
    double median = 0;
    double max = 0;
    bool valid = false;
};

inline Stats StatsOf(std::vector<double> samples) {
    Stats s;
    if (samples.empty())
        return s;
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    s.min = samples.front();
    s.max = samples.back();
    s.median = n % 2 == 1 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    s.valid = true;
    return s;
}

inline Stats Exactly(double value) { return {value, value, value, true}; }

inline void PrintRow(const std::string& figure, const std::string& unit, const Stats& f,
                     const std::string& floorName, const Stats& fl) {
    std::printf("ROW\t%s\t%s\t%.6g\t%.6g\t%.6g\t", figure.c_str(), unit.c_str(), f.min, f.median,
                f.max);
    if (fl.valid)
        std::printf("%s\t%.6g\t%.6g\t%.6g\n", floorName.c_str(), fl.min, fl.median, fl.max);
    else
        std::printf("%s\t-\t-\t-\n", floorName.c_str());
    std::fflush(stdout);
}

inline void PrintNote(const std::string& text) {
    std::printf("NOTE\t%s\n", text.c_str());
    std::fflush(stdout);
}

} // namespace velquor::bench
