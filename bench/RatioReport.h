#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace pirela::bench {

// Google Benchmark's console report, plus one line per pair at the end: the measured
// benchmark's time divided by its reference's, both taken in the same run. Shared machines are
// noisy; a ratio of two neighbouring measurements is what stays comparable between runs.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        // With --benchmark_repetitions the median stands for the benchmark; otherwise its run.
        for (const Run& run : runs) {
            const std::string name = run.run_name.str();
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                medians_[name] = run.GetAdjustedRealTime();
            } else if (run.run_type == Run::RT_Iteration) {
                times_[name] = run.GetAdjustedRealTime();
            }
        }
        for (const auto& [name, time] : medians_) {
            times_[name] = time;
        }
    }

    // Prints "measured / reference = ratio (target)"; returns false when a ratio is over target.
    bool PrintRatios(const std::vector<std::pair<std::string, std::string>>& pairs,
                     double target) const {
        bool allMet = true;
        std::printf("\nratios (target <= %.2f):\n", target);
        for (const auto& [measured, reference] : pairs) {
            const auto m = times_.find(measured);
            const auto r = times_.find(reference);
            if (m == times_.end() || r == times_.end() || r->second <= 0) {
                continue;
            }
            const double ratio = m->second / r->second;
            allMet = allMet && ratio <= target;
            std::printf("  %-40s / %-40s = %6.3f\n", measured.c_str(), reference.c_str(), ratio);
        }
        return allMet;
    }

private:
    std::map<std::string, double> times_;
    std::map<std::string, double> medians_;
};

// The measured work's time over the reference's, as the median of rounds in which the two run
// back to back: slow drifts of a shared machine then touch both sides of each ratio alike.
// Undo, when given, runs untimed after each of the two (removing a copy, moving a file back).
inline double PairedMedianRatio(const std::function<void()>& measured,
                                const std::function<void()>& reference, int rounds = 9,
                                const std::function<void()>& undo = {}) {
    using Clock = std::chrono::steady_clock;
    const auto time = [&undo](const std::function<void()>& work) {
        const auto start = Clock::now();
        work();
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (undo) {
            undo();
        }
        return seconds;
    };
    std::vector<double> ratios;
    for (int round = 0; round < rounds; ++round) {
        const double referenceTime = time(reference);
        ratios.push_back(time(measured) / referenceTime);
    }
    std::sort(ratios.begin(), ratios.end());
    return ratios[ratios.size() / 2];
}

} // namespace pirela::bench
