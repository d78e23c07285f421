#pragma once
// Test helpers: a fresh folder of the test's own, removed afterwards, raw file bytes, and the
// files the tests keep beside their sources.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

class ScratchFolder {
public:
    ScratchFolder() { std::filesystem::create_directories(path_); }
    ~ScratchFolder() { std::filesystem::remove_all(path_, ignored_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::wstring file(const std::wstring& name) const { return (path_ / name).wstring(); }

private:
    std::filesystem::path path_ = std::filesystem::temp_directory_path() /
                                  ("tarvex-test-" + std::to_string(std::random_device()()));
    std::error_code ignored_;
};

inline std::string readBytes(const std::filesystem::path& path) {
    return {std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {}};
}

inline void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// tests/NAME, such as a document written as a step should leave it.
inline std::string testFile(const std::string& name) {
    return readBytes(TARVEX_TEST_SOURCE_DIR "/" + name);
}
