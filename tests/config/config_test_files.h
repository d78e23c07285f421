#pragma once
// Scratch files for the config file tests: a fresh folder per test, raw bytes in and out.

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "config/config_file.h"

class ConfigFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        static std::atomic<int> serial{0};
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = std::filesystem::temp_directory_path() /
                  ("tarvex-config-" + std::to_string(::getpid()) + "-" + std::to_string(++serial) +
                   "-" + info->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
    }

    std::filesystem::path at(const std::string& name) const { return folder_ / name; }
    std::wstring pathOf(const std::string& name) const { return at(name).wstring(); }

    static std::string readBytes(const std::filesystem::path& path) {
        std::ifstream stream(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    }
    void writeBytes(const std::string& name, const std::string& bytes) const {
        std::ofstream(at(name), std::ios::binary) << bytes;
    }
    // The names in the test's folder: shows temporary files left behind.
    std::set<std::string> folderNames() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    // Reads a file holding `bytes`.
    ConfigReadStatus readBytesAsConfig(const std::string& bytes, std::vector<Target>& targets) {
        writeBytes("in.xml", bytes);
        return readConfigFileStatus(pathOf("in.xml"), targets);
    }

private:
    std::filesystem::path folder_;
};

inline bool isFresh(const Target& target) {
    const Target fresh;
    return target.enabled == fresh.enabled && target.type == fresh.type &&
           target.host == fresh.host && target.port == fresh.port &&
           target.interval == fresh.interval && target.history.empty() && target.nextDue == 0;
}

inline Target makeTarget(bool enabled, ProbeType type, std::wstring host, std::uint16_t port,
                         std::int32_t interval) {
    Target target;
    target.enabled = enabled;
    target.type = type;
    target.host = std::move(host);
    target.port = port;
    target.interval = interval;
    return target;
}
