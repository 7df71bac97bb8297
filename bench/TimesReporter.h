#pragma once
// The console table of Google Benchmark that also keeps each run's time (ms of real time per
// iteration, by benchmark name), so that a program can print ratios after the table.
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class TimesReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) times_[r.benchmark_name()] = r.GetAdjustedRealTime();
    }

protected:
    double time(const std::string& name) const {
        auto it = times_.find(name);
        return it == times_.end() ? 0 : it->second;
    }

private:
    std::map<std::string, double> times_;
};
