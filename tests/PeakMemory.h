#pragma once
// How much the resident memory of the process peaked above its level before, while work ran:
// the bound a test puts on what a hostile input may make the program allocate.
#include <fstream>
#include <functional>
#include <string>

namespace peakmemory {

// The peak resident size in KiB since the last reset.
inline long peakKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

// The growth of the peak resident size, in MiB, over what the process held when work started.
inline long growthMiB(const std::function<void()>& work) {
    std::ofstream("/proc/self/clear_refs") << "5"; // the peak restarts from the current size
    const long before = peakKiB();
    work();
    return (peakKiB() - before) / 1024;
}

} // namespace peakmemory
