// readConfigFile / readConfigFileStatus: the tolerant scanner and its defaults.

#include <string>
#include <vector>

#include "config/config_test_files.h"

namespace {

// One "<target>" block holding the given inner text.
std::string block(const std::string& inner) { return "<target>" + inner + "</target>\n"; }

void expectSettings(const Target& target, bool enabled, ProbeType type, const std::wstring& host,
                    std::uint16_t port, std::int32_t interval) {
    EXPECT_EQ(target.enabled, enabled);
    EXPECT_EQ(target.type, type);
    EXPECT_EQ(target.host, host);
    EXPECT_EQ(target.port, port);
    EXPECT_EQ(target.interval, interval);
}

}  // namespace

using ConfigReader = ConfigFileTest;

TEST_F(ConfigReader, TwentyVariedRecordsRoundTrip) {
    std::vector<Target> written;
    for (int i = 0; i < 20; ++i) {
        Target target = makeTarget(i % 3 != 0, i % 2 ? ProbeType::tcp : ProbeType::icmp,
                                   L"host-" + std::to_wstring(i) + L".example",
                                   static_cast<std::uint16_t>(i * 3271), 1 + i * 97);
        target.history = {1, 0};
        target.nextDue = 42;
        written.push_back(target);
    }
    written[4].host = L"<&>\"' &amp; &lt;x&gt; \u00e9\u00ff";
    written[5].host = L"";
    written[6].port = 65535;
    written[7].interval = INT32_MAX;
    ASSERT_TRUE(writeConfigFile(pathOf("config.xml"), written));

    std::vector<Target> read;
    ASSERT_EQ(readConfigFileStatus(pathOf("config.xml"), read), ConfigReadStatus::read);
    ASSERT_EQ(read.size(), 20u);
    for (std::size_t i = 0; i < 20; ++i) {
        SCOPED_TRACE(i);
        const Target& w = written[i];
        expectSettings(read[i], w.enabled, w.type, w.host, w.port, w.interval);
        EXPECT_TRUE(read[i].history.empty());
        EXPECT_EQ(read[i].nextDue, 0);
    }
}

TEST_F(ConfigReader, RoundTripLosesOuterBlanksAndIntervalsBelowOne) {
    std::vector<Target> written = {makeTarget(true, ProbeType::icmp, L" \tpadded host \r\n", 1, 0),
                                   makeTarget(true, ProbeType::icmp, L"x", 1, -30)};
    ASSERT_TRUE(writeConfigFile(pathOf("config.xml"), written));
    std::vector<Target> read;
    ASSERT_TRUE(readConfigFile(pathOf("config.xml"), read));
    expectSettings(read[0], true, ProbeType::icmp, L"padded host", 1, 10);
    expectSettings(read[1], true, ProbeType::icmp, L"x", 1, 10);
}

TEST_F(ConfigReader, OneTcpBlockForSlotSeven) {
    std::vector<Target> targets(3);
    ASSERT_EQ(readBytesAsConfig(block("<slot>7</slot><type>TCP</type><host> web </host>"
                                      "<port>80</port>"),
                                targets),
              ConfigReadStatus::read);
    ASSERT_EQ(targets.size(), 20u);
    expectSettings(targets[7], true, ProbeType::tcp, L"web", 80, 10);
    for (std::size_t i = 0; i < 20; ++i) {
        if (i != 7) {
            EXPECT_TRUE(isFresh(targets[i])) << i;
        }
    }
}

TEST_F(ConfigReader, CounterSkipsANamedSlot) {
    std::vector<Target> targets;
    readBytesAsConfig(
        block("<host>a</host>") + block("<host>b</host><slot>5</slot>") + block("<host>c</host>"),
        targets);
    EXPECT_EQ(targets[0].host, L"a");
    EXPECT_EQ(targets[5].host, L"b");
    EXPECT_EQ(targets[1].host, L"c");
    EXPECT_TRUE(isFresh(targets[2]));
}

TEST_F(ConfigReader, LaterBlocksReplaceEarlierOnes) {
    std::vector<Target> targets;
    readBytesAsConfig(
        block("<slot>2</slot><host>first</host>") + block("<slot>2</slot><host>second</host>"),
        targets);
    EXPECT_EQ(targets[2].host, L"second");
}

TEST_F(ConfigReader, SlotsOutsideTheTableAreDropped) {
    std::string text;
    for (const char* slot : {"20", "-1", "100", "99999999999", "-99999999999"}) {
        text += block(std::string("<slot>") + slot + "</slot><host>out</host>");
    }
    for (int i = 0; i < 21; ++i) text += block("<host>n" + std::to_string(i) + "</host>");
    std::vector<Target> targets;
    ASSERT_EQ(readBytesAsConfig(text, targets), ConfigReadStatus::read);
    ASSERT_EQ(targets.size(), 20u);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(targets[i].host, L"n" + std::to_wstring(i));
}

TEST_F(ConfigReader, EnabledRule) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"", true},  // no element
        {"<enabled>1</enabled>", true},
        {"<enabled>7</enabled>", true},
        {"<enabled> -3 </enabled>", true},
        {"<enabled>4294967296</enabled>", true},  // saturated, not wrapped to 0
        {"<enabled>0</enabled>", false},
        {"<enabled>true</enabled>", false},
        {"<enabled></enabled>", false},
        {"<Enabled>1</Enabled>", true},  // not found: missing
    };
    for (const auto& [element, enabled] : cases) {
        std::vector<Target> targets;
        readBytesAsConfig(block("<slot>0</slot>" + element), targets);
        EXPECT_EQ(targets[0].enabled, enabled) << element;
    }
}

TEST_F(ConfigReader, IntervalRule) {
    const std::vector<std::pair<std::string, std::int32_t>> cases = {
        {"", 10},  // no element
        {"<interval>0</interval>", 10},
        {"<interval>-5</interval>", 10},
        {"<interval>abc</interval>", 10},
        {"<interval>7</interval>", 7},
        {"<interval>12abc</interval>", 12},
        {"<interval>99999999999</interval>", INT32_MAX},
        {"<interval>-99999999999</interval>", 10},
    };
    for (const auto& [element, interval] : cases) {
        std::vector<Target> targets;
        readBytesAsConfig(block(element), targets);
        EXPECT_EQ(targets[0].interval, interval) << element;
    }
}

TEST_F(ConfigReader, PortKeepsTheLow16Bits) {
    const std::vector<std::pair<std::string, std::uint16_t>> cases = {
        {"", 0},
        {"<port>65535</port>", 65535},
        {"<port>65536</port>", 0},
        {"<port>65979</port>", 443},
        {"<port>-1</port>", 65535},
        {"<port>99999999999</port>", 65535},  // INT32_MAX
        {"<port>-99999999999</port>", 0},     // INT32_MIN
        {"<port>http</port>", 0},
    };
    for (const auto& [element, port] : cases) {
        std::vector<Target> targets;
        readBytesAsConfig(block(element), targets);
        EXPECT_EQ(targets[0].port, port) << element;
    }
}

TEST_F(ConfigReader, CapitalSlotTagCountsAsNoSlot) {
    std::vector<Target> targets;
    readBytesAsConfig(block("<Slot>9</Slot><host>a</host>") + block("<SLOT>9</SLOT><host>b</host>"),
                      targets);
    EXPECT_EQ(targets[0].host, L"a");
    EXPECT_EQ(targets[1].host, L"b");
    EXPECT_TRUE(isFresh(targets[9]));
}

TEST_F(ConfigReader, MissingEmptyAndUnreadableFilesFail) {
    std::vector<Target> targets(3);
    EXPECT_EQ(readConfigFileStatus(pathOf("absent.xml"), targets), ConfigReadStatus::missing);
    EXPECT_EQ(targets.size(), 20u);
    EXPECT_FALSE(readConfigFile(pathOf("absent.xml"), targets));

    writeBytes("empty.xml", "");
    EXPECT_EQ(readConfigFileStatus(pathOf("empty.xml"), targets), ConfigReadStatus::empty);
    EXPECT_FALSE(readConfigFile(pathOf("empty.xml"), targets));
    writeBytes("eof.xml", "\x1a<target></target>");  // 0x1A ends the text at once
    EXPECT_EQ(readConfigFileStatus(pathOf("eof.xml"), targets), ConfigReadStatus::empty);

    std::filesystem::create_directories(at("folder.xml"));
    targets.assign(2, makeTarget(false, ProbeType::tcp, L"x", 1, 1));
    EXPECT_EQ(readConfigFileStatus(pathOf("folder.xml"), targets), ConfigReadStatus::unreadable);
    EXPECT_FALSE(readConfigFile(pathOf("folder.xml"), targets));
    ASSERT_EQ(targets.size(), 20u);
    for (const Target& target : targets) EXPECT_TRUE(isFresh(target));
}

TEST_F(ConfigReader, TextWithoutBlocksReadsAsFreshRecords) {
    for (const std::string text : {"hello", "<target>", "</target>", "</target><target>",
                                   "<config><targets></targets></config>", "\r\n"}) {
        std::vector<Target> targets(1, makeTarget(false, ProbeType::tcp, L"x", 1, 1));
        EXPECT_EQ(readBytesAsConfig(text, targets), ConfigReadStatus::noTargetBlocks) << text;
        EXPECT_TRUE(readConfigFile(pathOf("in.xml"), targets));
        ASSERT_EQ(targets.size(), 20u);
        for (const Target& target : targets) EXPECT_TRUE(isFresh(target));
    }
}

TEST_F(ConfigReader, FileCutInABlockKeepsTheBlocksBefore) {
    std::vector<Target> full(20);
    for (int i = 0; i < 20; ++i) full[i].host = L"h" + std::to_wstring(i);
    ASSERT_TRUE(writeConfigFile(pathOf("config.xml"), full));
    const std::string bytes = readBytes(at("config.xml"));
    const std::size_t cut = bytes.find("<host>h6</host>");
    ASSERT_NE(cut, std::string::npos);

    std::vector<Target> targets;
    ASSERT_EQ(readBytesAsConfig(bytes.substr(0, cut), targets), ConfigReadStatus::read);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(targets[i].host, L"h" + std::to_wstring(i));
    for (int i = 6; i < 20; ++i) EXPECT_TRUE(isFresh(targets[i])) << i;
}

TEST_F(ConfigReader, StrayClosingTagIsSkippedAndLaterBlocksKept) {
    // The first "</target>" comes before the first "<target>", and again further on.
    std::vector<Target> targets;
    ASSERT_EQ(readBytesAsConfig("</target>" + block("<host>a</host>") + "</target></target>" +
                                    block("<slot>4</slot><host>b</host>") + "<target><host>c",
                                targets),
              ConfigReadStatus::read);
    EXPECT_EQ(targets[0].host, L"a");
    EXPECT_EQ(targets[4].host, L"b");
    EXPECT_TRUE(isFresh(targets[1]));  // counted once, and the unclosed block is not read
}

TEST_F(ConfigReader, OnlyTheBlocksAreExamined) {
    std::vector<Target> targets;
    readBytesAsConfig(
        "junk <host>outside</host>\n<target>\r\n  <interval>\t30\r\n</interval>"
        "<host>&lt;in&gt;</host><enabled>0</enabled></target> tail <slot>3</slot>",
        targets);
    expectSettings(targets[0], false, ProbeType::icmp, L"<in>", 0, 30);
    EXPECT_TRUE(isFresh(targets[3]));
}

TEST(ConfigReadText, StatusesInMemory) {
    std::vector<Target> targets;
    EXPECT_EQ(readConfigText(L"", targets), ConfigReadStatus::empty);
    EXPECT_EQ(readConfigText(L"hello", targets), ConfigReadStatus::noTargetBlocks);
    EXPECT_EQ(readConfigText(L"<target></target>", targets), ConfigReadStatus::read);
    EXPECT_EQ(targets.size(), 20u);
    EXPECT_EQ(readConfigText(configDocumentText({}), targets), ConfigReadStatus::read);
    for (const Target& target : targets) EXPECT_TRUE(isFresh(target));
}
