// Documents compared byte for byte with files/: what the writer stores, and what the reader
// makes of a file once the writer stores it again (tolerant.xml holds every reading rule).

#include "config/config_file.h"

#include <gtest/gtest.h>

#include "model/scratch_files.h"

static std::string expected(const std::string& name) {
    return readBytes(TARVEX_TEST_SOURCE_DIR "/config/files/" + name);
}

TEST(ConfigFile, WritesAndReadsTheExpectedDocumentsAndKeepsAFileItCannotWrite) {
    const ScratchFolder folder;
    const std::vector<Target> varied = {
        {true, ProbeType::tcp, L"127.0.0.1", 443, 30, {1, 0}, 7},
        {false, ProbeType::icmp, L"a\"b&c'd<e>f &amp;&lt;", 65535, -5, {}, 0}};
    const auto stored = [&](const std::vector<Target>& targets) {
        EXPECT_TRUE(writeConfigFile(folder.file(L"out.xml"), targets));
        return readBytes(folder.path() / "out.xml");
    };
    const auto read = [&](const std::wstring& path, ConfigReadStatus answer) {
        std::vector<Target> targets(3, varied[0]);
        EXPECT_EQ(readConfigFileStatus(path, targets), answer);
        return stored(targets);
    };
    EXPECT_EQ(stored({}), expected("default.xml"));
    EXPECT_EQ(stored(varied), expected("varied.xml"));
    std::string readBack = expected("varied.xml");
    readBack.replace(readBack.find("-5"), 2, "10");  // an interval below 1 reads as 10
    EXPECT_EQ(read(TARVEX_TEST_SOURCE_DIR L"/config/files/varied.xml", ConfigReadStatus::read),
              readBack);
    EXPECT_EQ(read(TARVEX_TEST_SOURCE_DIR L"/config/files/tolerant.xml", ConfigReadStatus::read),
              expected("tolerant-read.xml"));
    writeBytes(folder.path() / "empty.xml", "");
    writeBytes(folder.path() / "hello.xml", "hello");
    EXPECT_EQ(read(folder.file(L"missing.xml"), ConfigReadStatus::missing),
              expected("default.xml"));
    EXPECT_EQ(read(folder.file(L"empty.xml"), ConfigReadStatus::empty), expected("default.xml"));
    EXPECT_EQ(read(folder.file(L"hello.xml"), ConfigReadStatus::noTargetBlocks),
              expected("default.xml"));
    // Failed writes (a character above U+00FF, no folder, a folder in the way) keep the file.
    std::filesystem::create_directory(folder.path() / "folder.xml");
    EXPECT_FALSE(writeConfigFile(folder.file(L"out.xml"),
                                 {{true, ProbeType::icmp, L"\u20ac", 0, 10, {}, 0}}));
    EXPECT_FALSE(writeConfigFile(folder.file(L"missing/out.xml"), {}));
    EXPECT_FALSE(writeConfigFile(folder.file(L"folder.xml"), {}));
    EXPECT_EQ(readBytes(folder.path() / "out.xml"), expected("default.xml"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 4);
}
