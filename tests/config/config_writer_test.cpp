// writeConfigFile: the 165-line document byte for byte, and the file replaced in one step.

#include <algorithm>
#include <string>
#include <vector>

#include "config/config_test_files.h"

namespace {

// The expected bytes, built here from the format's line templates (not by the writer).
std::string element(const std::string& name, const std::string& value) {
    return "      <" + name + ">" + value + "</" + name + ">\r\n";
}

std::string blockBytes(int slot, const std::string& enabled, const std::string& type,
                       const std::string& host, const std::string& port,
                       const std::string& interval) {
    return "    <target>\r\n" + element("slot", std::to_string(slot)) +
           element("enabled", enabled) + element("type", type) + element("host", host) +
           element("port", port) + element("interval", interval) + "    </target>\r\n";
}

// The document: the given blocks for the first slots, fresh blocks for the rest.
std::string documentBytes(const std::vector<std::string>& blocks = {}) {
    std::string bytes = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<config>\r\n  <targets>\r\n";
    for (const auto& block : blocks) bytes += block;
    for (int slot = static_cast<int>(blocks.size()); slot < 20; ++slot) {
        bytes += blockBytes(slot, "1", "icmp", "", "0", "10");
    }
    return bytes + "  </targets>\r\n</config>\r\n";
}

}  // namespace

using ConfigWriter = ConfigFileTest;

TEST_F(ConfigWriter, StoresTheDocumentByteForByte) {
    const auto expectDocument = [&](const char* what, const std::vector<Target>& targets,
                                    const std::vector<std::string>& blocks) {
        SCOPED_TRACE(what);
        ASSERT_TRUE(writeConfigFile(pathOf("config.xml"), targets));
        EXPECT_EQ(readBytes(at("config.xml")), documentBytes(blocks));
    };
    expectDocument("twenty fresh records", std::vector<Target>(20), {});
    expectDocument("no records", {}, {});
    Target withResults = makeTarget(true, ProbeType::icmp, L"127.0.0.9", 8080, -5);
    withResults.history = {1, 0, 1};  // run-time state is never written
    withResults.nextDue = 123456789;
    expectDocument("a disabled tcp slot",
                   {makeTarget(false, ProbeType::tcp, L"server.example", 443, 30), withResults},
                   {blockBytes(0, "0", "tcp", "server.example", "443", "30"),
                    blockBytes(1, "1", "icmp", "127.0.0.9", "8080", "-5")});
    expectDocument("hosts with the five special characters and a typed entity",
                   {makeTarget(true, ProbeType::icmp, L"a\"b&c'd<e>f \u00e9", 0, 10),
                    makeTarget(true, ProbeType::icmp, L"x&amp;y", 0, 10)},
                   {blockBytes(0, "1", "icmp", "a&quot;b&amp;c&apos;d&lt;e&gt;f \xe9", "0", "10"),
                    blockBytes(1, "1", "icmp", "x&amp;amp;y", "0", "10")});

    std::vector<Target> many;
    std::vector<std::string> blocks;
    for (int i = 0; i < 25; ++i) {
        const auto port = static_cast<std::uint16_t>(1000 + i);
        many.push_back(makeTarget(i % 2 == 0, ProbeType::tcp, L"h" + std::to_wstring(i), port, 60));
        blocks.push_back(blockBytes(i, i % 2 == 0 ? "1" : "0", "tcp", "h" + std::to_string(i),
                                    std::to_string(port), "60"));
    }
    expectDocument("five records", {many.begin(), many.begin() + 5},
                   {blocks.begin(), blocks.begin() + 5});
    expectDocument("25 records, cut to 20", many, {blocks.begin(), blocks.begin() + 20});
}

TEST_F(ConfigWriter, DefaultDocumentIs165CrLfLines) {
    ASSERT_TRUE(writeConfigFile(pathOf("config.xml"), {}));
    const std::string bytes = readBytes(at("config.xml"));
    // The fuzzer's seed of the default document was made by a separate script.
    EXPECT_EQ(bytes, readBytes(TARVEX_TEST_SOURCE_DIR "/fuzz/seeds/default.xml"));
    EXPECT_EQ(bytes.size(), 3658u);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 165);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\r'), 165);
}

TEST_F(ConfigWriter, FailedWritesKeepWhatWasThere) {
    writeBytes(at("config.xml"), std::string(20000, 'x'));
    ASSERT_TRUE(writeConfigFile(pathOf("config.xml"), {}));  // a longer old file, replaced whole
    const std::string written = readBytes(at("config.xml"));
    EXPECT_EQ(written, documentBytes());

    EXPECT_FALSE(writeConfigFile(pathOf("config.xml"),
                                 {makeTarget(true, ProbeType::icmp, L"caf\u00e9\u20ac", 0, 10)}));
    EXPECT_EQ(readBytes(at("config.xml")), written);
    EXPECT_FALSE(writeConfigFile(pathOf("absent/config.xml"), {}));
    std::filesystem::create_directories(at("folder.xml/inner"));
    writeBytes(at("folder.xml/inner/keep"), "kept");
    EXPECT_FALSE(writeConfigFile(pathOf("folder.xml"), {}));
    EXPECT_EQ(readBytes(at("folder.xml/inner/keep")), "kept");
    // Nothing was created and no temporary file is left.
    EXPECT_EQ(folderNames(), (std::set<std::string>{"config.xml", "folder.xml"}));
}
