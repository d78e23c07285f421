// writeConfigFile: the 165-line document byte for byte, and the file replaced in one step.

#include <string>
#include <vector>

#include "config/config_test_files.h"

namespace {

// The expected bytes, built here from the format's line templates (not by the writer).
std::string elementLine(const std::string& name, const std::string& value) {
    return "      <" + name + ">" + value + "</" + name + ">\r\n";
}

std::string blockBytes(int slot, const std::string& enabled, const std::string& type,
                       const std::string& host, const std::string& port,
                       const std::string& interval) {
    return "    <target>\r\n" + elementLine("slot", std::to_string(slot)) +
           elementLine("enabled", enabled) + elementLine("type", type) + elementLine("host", host) +
           elementLine("port", port) + elementLine("interval", interval) + "    </target>\r\n";
}

const std::string openingBytes =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
    "<config>\r\n"
    "  <targets>\r\n";
const std::string closingBytes =
    "  </targets>\r\n"
    "</config>\r\n";

// The document: the given blocks for the first slots, fresh blocks for the rest.
std::string documentBytes(const std::vector<std::string>& blocks = {}) {
    std::string bytes = openingBytes;
    for (const auto& block : blocks) bytes += block;
    for (int slot = static_cast<int>(blocks.size()); slot < 20; ++slot) {
        bytes += blockBytes(slot, "1", "icmp", "", "0", "10");
    }
    return bytes + closingBytes;
}

}  // namespace

using ConfigWriter = ConfigFileTest;

TEST_F(ConfigWriter, FreshRecordsGiveTheDefaultDocument) {
    ASSERT_TRUE(writeConfigFile(pathOf("config.xml"), std::vector<Target>(20)));
    const std::string bytes = readBytes(at("config.xml"));
    EXPECT_EQ(bytes, documentBytes());
    // The fuzzer's seed of the default document was made by a separate script.
    EXPECT_EQ(bytes, readBytes(TARVEX_TEST_SOURCE_DIR "/fuzz/seeds/default.xml"));
    EXPECT_EQ(bytes.size(), 3658u);

    // 165 lines, every one ended by CR LF and no bare line feed.
    std::size_t lines = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\n') continue;
        ++lines;
        EXPECT_EQ(bytes[i - 1], '\r');
    }
    EXPECT_EQ(lines, 165u);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");

    // Lines 28 to 35: the block of slot 3, as the format spells it.
    const std::string slot3 =
        "    <target>\r\n"
        "      <slot>3</slot>\r\n"
        "      <enabled>1</enabled>\r\n"
        "      <type>icmp</type>\r\n"
        "      <host></host>\r\n"
        "      <port>0</port>\r\n"
        "      <interval>10</interval>\r\n"
        "    </target>\r\n";
    EXPECT_EQ(bytes.find(slot3), openingBytes.size() + 3 * slot3.size());
}

TEST_F(ConfigWriter, AnEmptyListGivesTheDefaultDocumentToo) {
    ASSERT_TRUE(writeConfigFile(pathOf("config.xml"), {}));
    EXPECT_EQ(readBytes(at("config.xml")), documentBytes());
}

TEST_F(ConfigWriter, DisabledTcpTarget) {
    std::vector<Target> targets(20);
    targets[0] = makeTarget(false, ProbeType::tcp, L"server.example", 443, 30);
    targets[1] = makeTarget(true, ProbeType::icmp, L"10.0.0.1", 8080, -5);
    targets[1].history = {1, 0, 1};
    targets[1].nextDue = 123456789;  // run-time state is never written
    ASSERT_TRUE(writeConfigFile(pathOf("config.xml"), targets));
    EXPECT_EQ(readBytes(at("config.xml")),
              documentBytes({blockBytes(0, "0", "tcp", "server.example", "443", "30"),
                             blockBytes(1, "1", "icmp", "10.0.0.1", "8080", "-5")}));
}

TEST_F(ConfigWriter, HostsAreEscaped) {
    const std::wstring special = L"a\"b&c'd<e>f \u00e9";
    const std::wstring typed = L"x&amp;y";
    ASSERT_TRUE(
        writeConfigFile(pathOf("config.xml"), {makeTarget(true, ProbeType::icmp, special, 0, 10),
                                               makeTarget(true, ProbeType::icmp, typed, 0, 10)}));
    EXPECT_EQ(readBytes(at("config.xml")),
              documentBytes(
                  {blockBytes(0, "1", "icmp", "a&quot;b&amp;c&apos;d&lt;e&gt;f \xe9", "0", "10"),
                   blockBytes(1, "1", "icmp", "x&amp;amp;y", "0", "10")}));
    EXPECT_EQ(unescapeXml(escapeXml(special)), special);
    EXPECT_EQ(unescapeXml(escapeXml(typed)), typed);
}

TEST_F(ConfigWriter, ShortListsAreFilledAndLongListsCut) {
    std::vector<Target> five;
    std::vector<std::string> blocks;
    for (int i = 0; i < 5; ++i) {
        five.push_back(makeTarget(i % 2 == 0, ProbeType::tcp, L"h" + std::to_wstring(i),
                                  static_cast<std::uint16_t>(1000 + i), 60));
        blocks.push_back(blockBytes(i, i % 2 == 0 ? "1" : "0", "tcp", "h" + std::to_string(i),
                                    std::to_string(1000 + i), "60"));
    }
    ASSERT_TRUE(writeConfigFile(pathOf("five.xml"), five));
    EXPECT_EQ(readBytes(at("five.xml")), documentBytes(blocks));

    std::vector<Target> many(25, makeTarget(false, ProbeType::icmp, L"extra", 1, 1));
    ASSERT_TRUE(writeConfigFile(pathOf("many.xml"), many));
    const std::string bytes = readBytes(at("many.xml"));
    EXPECT_EQ(bytes.find("<slot>20</slot>"), std::string::npos);
    EXPECT_NE(bytes.find(blockBytes(19, "0", "icmp", "extra", "1", "1")), std::string::npos);
    EXPECT_EQ(configDocumentText(many).size() + 165, bytes.size());
}

TEST_F(ConfigWriter, ReplacesAWholeOldFileAndLeavesNoTemporary) {
    writeBytes("config.xml", std::string(20000, 'x'));
    ASSERT_TRUE(writeConfigFile(pathOf("config.xml"), {}));
    EXPECT_EQ(readBytes(at("config.xml")), documentBytes());
    EXPECT_EQ(folderNames(), std::set<std::string>{"config.xml"});
}

TEST_F(ConfigWriter, MissingFolderFailsAndCreatesNothing) {
    EXPECT_FALSE(writeConfigFile(pathOf("absent/config.xml"), {}));
    EXPECT_FALSE(std::filesystem::exists(at("absent")));
    EXPECT_TRUE(folderNames().empty());
}

TEST_F(ConfigWriter, HostAboveU00FFFailsAndKeepsTheOldFile) {
    writeBytes("config.xml", "old bytes\r\n");
    const std::vector<Target> targets = {
        makeTarget(true, ProbeType::icmp, L"caf\u00e9\u20ac", 0, 10)};
    EXPECT_FALSE(writeConfigFile(pathOf("config.xml"), targets));
    EXPECT_EQ(readBytes(at("config.xml")), "old bytes\r\n");
    EXPECT_EQ(folderNames(), std::set<std::string>{"config.xml"});
}

TEST_F(ConfigWriter, PathThatCannotBeReplacedFailsAndKeepsIt) {
    std::filesystem::create_directories(at("config.xml/inner"));
    writeBytes("config.xml/inner/keep", "kept");
    EXPECT_FALSE(writeConfigFile(pathOf("config.xml"), {}));
    EXPECT_TRUE(std::filesystem::is_directory(at("config.xml")));
    EXPECT_EQ(readBytes(at("config.xml/inner/keep")), "kept");
    EXPECT_EQ(folderNames(), std::set<std::string>{"config.xml"});  // no temporary left
}
