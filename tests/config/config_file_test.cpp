// Documents compared byte for byte with files/: what the writer stores, and what the reader
// makes of a file once the writer stores it again (tolerant.xml holds every reading rule).

#include "config/config_file.h"

#include <gtest/gtest.h>

#include "model/scratch_files.h"

TEST(ConfigFile, WritesAndReadsTheExpectedDocumentsAndReportsAFailedWrite) {
    using enum ConfigReadStatus;
    const ScratchFolder folder;
    const std::vector<Target> varied = {
        {.type = ProbeType::tcp,
         .host = L"127.0.0.1",
         .port = 443,
         .interval = 30,
         .history = {1, 0}},
        {.enabled = false, .host = L"a\"b&c'd<e>f &amp;&lt;", .port = 65535, .interval = -5}};
    const auto stored = [&](const std::vector<Target>& targets) {
        EXPECT_TRUE(writeConfigFile(folder.file(L"out.xml"), targets));
        return readBytes(folder.path() / "out.xml");
    };
    const auto readBack = [&](const std::wstring& name, ConfigReadStatus answer) {
        std::vector<Target> targets(3, varied[0]);
        EXPECT_EQ(readConfigFileStatus(TARVEX_TEST_SOURCE_DIR L"/config/files/" + name, targets),
                  answer);
        return stored(targets);
    };
    const std::string defaults = testFile("config/files/default.xml");
    EXPECT_EQ(stored({}), defaults);
    EXPECT_EQ(stored(varied), testFile("config/files/varied.xml"));
    // varied-read.xml: varied.xml with the interval below 1 read as 10.
    EXPECT_EQ(readBack(L"varied.xml", read), testFile("config/files/varied-read.xml"));
    EXPECT_EQ(readBack(L"tolerant.xml", read), testFile("config/files/tolerant-read.xml"));
    EXPECT_EQ(readBack(L"missing.xml", missing), defaults);
    EXPECT_EQ(readBack(L"empty.xml", empty), defaults);
    EXPECT_EQ(readBack(L"hello.xml", noTargetBlocks), defaults);
    // A failed write is reported (the file stays as it was: text_file_test.cpp).
    EXPECT_FALSE(writeConfigFile(folder.file(L"missing/out.xml"), {}));
}
