#pragma once
// The config file tests' fixture: a fresh folder per test, raw bytes in and out.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "config/config_file.h"
#include "model/scratch_files.h"
#include "model/target_checks.h"

class ConfigFileTest : public ::testing::Test {
protected:
    std::filesystem::path at(const std::string& name) const { return scratch_.path() / name; }
    std::wstring pathOf(const std::string& name) const { return at(name).wstring(); }

    // The names in the test's folder: shows temporary files left behind.
    std::set<std::string> folderNames() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(scratch_.path())) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }
    // Reads a file holding `bytes`.
    ConfigReadStatus readBytesAsConfig(const std::string& bytes, std::vector<Target>& targets) {
        writeBytes(at("in.xml"), bytes);
        return readConfigFileStatus(pathOf("in.xml"), targets);
    }

private:
    ScratchFolder scratch_;
};
