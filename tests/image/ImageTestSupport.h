#pragma once
// A throw-away project folder for the image compiler tests.
#include "platform/files/Files.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

class TempProject {
public:
    TempProject() {
        static const unsigned run = std::random_device{}();
        static int serial = 0;
        dir_ = PathJoin(::testing::TempDir(),
                        "image_project_" + std::to_string(run) + "_" + std::to_string(++serial));
        std::filesystem::remove_all(dir_);
        ForceDirectories(PathJoin(dir_, "bin"));
    }
    ~TempProject() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    TempProject(const TempProject&) = delete;
    TempProject& operator=(const TempProject&) = delete;

    const std::string& Dir() const { return dir_; }
    std::string Path(const std::string& name) const { return PathJoin(dir_, name); }
    void Write(const std::string& name, const std::string& text) const {
        WriteBinaryFile(Path(name), text);
    }
    std::vector<std::uint8_t> Read(const std::string& name) const {
        const std::string bytes = ReadBinaryFile(Path(name));
        return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
    }

private:
    std::string dir_;
};

// Little-endian reads of expected values in test assertions.
inline std::uint32_t LE16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return std::uint32_t(b.at(at)) | std::uint32_t(b.at(at + 1)) << 8;
}
inline std::uint32_t LE32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return LE16(b, at) | LE16(b, at + 2) << 16;
}
