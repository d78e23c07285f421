// config.xml against the documents in files/: the writer's bytes, and the reader's result as
// the writer stores it again (tolerant.xml holds every rule of the reader, one block each).

#include "config/config_file.h"

#include <gtest/gtest.h>

#include "model/scratch_files.h"

class ConfigFile : public ::testing::Test {
protected:
    static std::string expected(const std::string& name) {
        return readBytes(TARVEX_TEST_SOURCE_DIR "/config/files/" + name);
    }
    std::string written(const std::vector<Target>& targets) {
        EXPECT_TRUE(writeConfigFile(folder.file(L"out.xml"), targets));
        return readBytes(folder.path() / "out.xml");
    }
    // Reads `path` into a list that held something else, and writes what it gives.
    std::string readBack(const std::wstring& path, bool answer) {
        std::vector<Target> targets(3, {false, ProbeType::tcp, L"h", 1, 1, {1}, 1});
        EXPECT_EQ(readConfigFile(path, targets), answer);
        return written(targets);
    }
    const ScratchFolder folder;
};

TEST_F(ConfigFile, WritesTheExpectedDocuments) {
    const std::vector<Target> varied = {
        {true, ProbeType::tcp, L"127.0.0.1", 443, 30, {1, 0}, 7},
        {false, ProbeType::icmp, L"a\"b&c'd<e>f", 65535, -5, {}, 0},
        {false, ProbeType::tcp, L"&amp;&lt; 127.0.0.2", 1, INT32_MAX, {}, 0},
        {true, ProbeType::icmp, L"", 0, 10, {}, 0},
        {true, ProbeType::tcp, L"localhost", 65534, 1, {}, 0}};
    std::vector<Target> past20 = varied;  // entries past the 20th are not written
    past20.resize(20);
    past20.resize(25, varied[0]);
    EXPECT_EQ(written({}), expected("default.xml"));
    EXPECT_EQ(written(varied), expected("varied.xml"));
    EXPECT_EQ(written(past20), expected("varied.xml"));
}

TEST_F(ConfigFile, ReadsItsOwnDocumentsBackAndToleratesAnyText) {
    std::string varied = expected("varied.xml");
    varied.replace(varied.find("-5"), 2, "10");  // an interval below 1 reads as 10
    EXPECT_EQ(readBack(TARVEX_TEST_SOURCE_DIR L"/config/files/varied.xml", true), varied);
    EXPECT_EQ(readBack(TARVEX_TEST_SOURCE_DIR L"/config/files/tolerant.xml", true),
              expected("tolerant-read.xml"));
    writeBytes(folder.path() / "empty.xml", "");
    writeBytes(folder.path() / "hello.xml", "hello");
    EXPECT_EQ(readBack(folder.file(L"missing.xml"), false), expected("default.xml"));
    EXPECT_EQ(readBack(folder.file(L"empty.xml"), false), expected("default.xml"));
    EXPECT_EQ(readBack(folder.file(L"hello.xml"), true), expected("default.xml"));
}

TEST_F(ConfigFile, AFailedWriteReturnsFalseAndKeepsWhatWasThere) {
    writeBytes(folder.path() / "out.xml", "old");
    std::filesystem::create_directory(folder.path() / "folder.xml");
    EXPECT_FALSE(writeConfigFile(folder.file(L"out.xml"),
                                 {{true, ProbeType::icmp, L"\u20ac", 0, 10, {}, 0}}));
    EXPECT_FALSE(writeConfigFile(folder.file(L"missing/out.xml"), {}));
    EXPECT_FALSE(writeConfigFile(folder.file(L"folder.xml"), {}));
    EXPECT_EQ(readBytes(folder.path() / "out.xml"), "old");
    EXPECT_TRUE(std::filesystem::is_empty(folder.path() / "folder.xml"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 2);
}
