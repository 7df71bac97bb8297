#pragma once
// Pages looked at by a real browser: headless chromium writes a screenshot of a file.
#include "platform/files/Files.h"
#include "platform/process/Process.h"

#include <chrono>
#include <string>
#include <thread>

// The browser used to look at pages; empty when none is installed.
inline std::string findBrowser() {
    for (const char* dir : {"/usr/bin/", "/usr/local/bin/"})
        for (const char* name : {"chromium", "chromium-browser"})
            if (FileExists(std::string(dir) + name)) return std::string(dir) + name;
    return "";
}

// Shows Page in a window of Width x Height and writes what it shows to Shot (PNG); Profile is
// the browser's throw-away user folder. False when the browser could not start.
inline bool browserScreenshot(const std::string& Browser, const std::string& Page,
                              const std::string& Shot, const std::string& Profile, int Width,
                              int Height) {
    TChildProcess p;
    if (!p.Start(Browser,
                 {"--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
                  "--user-data-dir=" + Profile,
                  "--window-size=" + std::to_string(Width) + "," + std::to_string(Height),
                  "--screenshot=" + Shot, "file://" + Page},
                 true))
        return false;
    // The browser is another process: its end is awaited in real time.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(90);
    while (p.ExitCode() == STILL_ACTIVE && std::chrono::steady_clock::now() < until)
        std::this_thread::yield();
    if (p.ExitCode() == STILL_ACTIVE) p.Terminate();
    return true;
}
