#pragma once
// A throw-away folder for a test, removed with everything in it when the object goes.
#include "platform/files/Files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

class TempFolder {
public:
    // prefix names the folder; subfolder, when given, is made inside it as well.
    explicit TempFolder(const std::string& prefix, const std::string& subfolder = "") {
        // Unique per process run and per folder, so parallel test binaries never share one.
        static const unsigned run = std::random_device{}();
        static int serial = 0;
        dir_ = PathJoin(::testing::TempDir(),
                        prefix + "_" + std::to_string(run) + "_" + std::to_string(++serial));
        std::filesystem::remove_all(dir_);
        ForceDirectories(subfolder.empty() ? dir_ : PathJoin(dir_, subfolder));
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Dir() const { return dir_; }
    std::string Path(const std::string& name) const { return PathJoin(dir_, name); }

private:
    std::string dir_;
};
