// readConfigFile / readConfigFileStatus: the tolerant scanner and its defaults.

#include <climits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "config/config_test_files.h"

namespace {

// One "<target>" block holding the given inner text.
std::string block(const std::string& inner) { return "<target>" + inner + "</target>\n"; }

// The records that are not fresh, as "slot=settings" separated by blanks.
std::wstring describe(const std::vector<Target>& targets) {
    std::wstring text = targets.size() == 20 ? L"" : L"size " + std::to_wstring(targets.size());
    for (std::size_t slot = 0; slot < targets.size(); ++slot) {
        if (isFresh(targets[slot])) continue;
        text += (text.empty() ? L"" : L" ") + std::to_wstring(slot) + L"=" +
                settingsText(targets[slot]);
    }
    return text;
}

}  // namespace

using ConfigReader = ConfigFileTest;

TEST_F(ConfigReader, TwentyVariedRecordsRoundTrip) {
    std::vector<Target> written;
    for (int i = 0; i < 20; ++i) {
        written.push_back(makeTarget(i % 3 != 0, i % 2 ? ProbeType::tcp : ProbeType::icmp,
                                     L"host-" + std::to_wstring(i) + L".example",
                                     static_cast<std::uint16_t>(i * 3271), 1 + i * 97));
        written.back().history = {1, 0};
        written.back().nextDue = 42;
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
        EXPECT_EQ(settingsText(read[i]), settingsText(written[i])) << i;
        EXPECT_TRUE(read[i].history.empty() && read[i].nextDue == 0) << i;
    }
}

TEST_F(ConfigReader, BlocksFillTheirSlots) {
    const std::vector<std::pair<std::string, std::wstring>> cases = {
        {block("<slot>7</slot><type>TCP</type><host> web </host><port>80</port>"),
         L"7=1,tcp,web,80,10"},
        // Blocks without a slot take the next free number of their own counter.
        {block("<host>a</host>") + block("<host>b</host><slot>5</slot>") + block("<host>c</host>"),
         L"0=1,icmp,a,0,10 1=1,icmp,c,0,10 5=1,icmp,b,0,10"},
        {block("<slot>2</slot><host>first</host>") + block("<slot>2</slot><host>second</host>"),
         L"2=1,icmp,second,0,10"},
        {block("<Slot>9</Slot><host>a</host>") + block("<SLOT>9</SLOT><host>b</host>"),
         L"0=1,icmp,a,0,10 1=1,icmp,b,0,10"},
        // A damaged file: a "</target>" before the first "<target>", stray ones further on,
        // and a block never closed.
        {"</target>" + block("<host>a</host>") + "</target></target>" +
             block("<slot>4</slot><host>b</host>") + "<target><host>c",
         L"0=1,icmp,a,0,10 4=1,icmp,b,0,10"},
        {"junk <host>outside</host>\n<target>\r\n  <interval>\t30\r\n</interval>"
         "<host>&lt;in&gt;</host><enabled>0</enabled></target> tail <slot>3</slot>",
         L"0=0,icmp,<in>,0,30"},
    };
    for (const auto& [text, expected] : cases) {
        std::vector<Target> targets;
        EXPECT_EQ(readBytesAsConfig(text, targets), ConfigReadStatus::read) << text;
        EXPECT_EQ(describe(targets), expected) << text;
    }
}

// Each element is read with a default, then clamped; letter case counts in tag names. Every
// block here ends with a port element, so that one read with all the defaults still shows.
TEST_F(ConfigReader, ElementsOfABlock) {
    const std::vector<std::pair<std::wstring, std::vector<std::string>>> cases = {
        // The defaults: elements missing, misspelt or out of range.
        {L"1,icmp,,1,10",
         {"", "<host>3", "3</host>", "</host>3<host>", "<host id=\"1\">3</host>",
          "<type>udp</type>", "<type>t cp</type>", "<type>tcp.</type>", "<enabled>7</enabled>",
          "<enabled> -3 </enabled>", "<enabled>4294967296</enabled>", "<Enabled>0</Enabled>",
          "<interval>0</interval>", "<interval>-5</interval>", "<interval>abc</interval>",
          "<interval>-99999999999</interval>"}},
        {L"1,tcp,,1,10", {"<type>TCP</type>", "<type> tcp\r\n</type>", "<type>\ttCP </type>"}},
        {L"0,icmp,,1,10",
         {"<enabled>0</enabled>", "<enabled>true</enabled>", "<enabled></enabled>"}},
        {L"1,icmp,,1,12", {"<interval>12abc</interval>"}},
        {L"1,icmp,,1,2147483647", {"<interval>99999999999</interval>"}},
        // Ports keep the low 16 bits of the number.
        {L"1,icmp,,65535,10",
         {"<port>65535</port>", "<port>-1</port>", "<port>99999999999</port>"}},
        {L"1,icmp,,443,10", {"<port>65979</port>"}},
        {L"1,icmp,,0,10", {"<port>65536</port>", "<port>-99999999999</port>"}},
        // Hosts: trimmed of four blanks only, then five entities decoded once; the first tags.
        {L"1,icmp,h i,1,10", {"<host> \t\r\nh i\n\r\t </host>"}},
        {L"1,icmp,\vh\f\u00a0,1,10", {"<host>\vh\f\xa0</host>"}},
        {L"1,icmp,<<x>\"'&&<;,1,10", {"<host> &lt;&lt;x&gt;&quot;&apos;&amp;&&lt;; </host>"}},
        {L"1,icmp,&lt;&amp;&&,1,10", {"<host>&amp;lt;&amp;amp;&&amp;</host>"}},
        {L"1,icmp,&#60;&#x3c;&nbsp;&lt&LT;,1,10", {"<host>&#60;&#x3c;&nbsp;&lt&LT;</host>"}},
        {L"1,icmp,1,1,10", {"<host>1</host><host>2</host>"}},
    };
    for (const auto& [expected, blocks] : cases) {
        for (const std::string& elements : blocks) {
            std::vector<Target> targets;
            EXPECT_EQ(readBytesAsConfig(block(elements + "<port>1</port>"), targets),
                      ConfigReadStatus::read);
            EXPECT_EQ(settingsText(targets[0]), expected) << elements;
        }
    }
}

// The number rule the reader and the editor share.
TEST(ConfigNumbers, ParseInt32ReadsLeadingDigitsAndSaturates) {
    const std::vector<std::pair<std::int32_t, std::vector<std::wstring>>> cases = {
        {0, {L"", L"-", L"--5", L" 5" /* no blanks skipped */}},
        {7, {L"+7", L"007"}},
        {INT32_MAX, {L"2147483647", L"2147483648"}},
        {INT32_MIN, {L"-2147483648", L"-2147483649", L"-99999999999999999999999"}},
    };
    for (const auto& [number, texts] : cases) {
        for (const std::wstring& text : texts) EXPECT_EQ(parseInt32(text), number) << text;
    }
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

TEST_F(ConfigReader, FileCutInABlockKeepsTheBlocksBefore) {
    std::vector<Target> full(20);
    for (int i = 0; i < 20; ++i) full[i].host = L"h" + std::to_wstring(i);
    ASSERT_TRUE(writeConfigFile(pathOf("config.xml"), full));
    const std::string bytes = readBytes(at("config.xml"));
    std::vector<Target> targets;
    ASSERT_EQ(readBytesAsConfig(bytes.substr(0, bytes.find("<host>h6</host>")), targets),
              ConfigReadStatus::read);
    EXPECT_EQ(describe(targets),
              L"0=1,icmp,h0,0,10 1=1,icmp,h1,0,10 2=1,icmp,h2,0,10 "
              L"3=1,icmp,h3,0,10 4=1,icmp,h4,0,10 5=1,icmp,h5,0,10");
}

TEST_F(ConfigReader, FilesThatFailOrHoldNoBlockGiveTwentyFreshRecords) {
    std::filesystem::create_directories(at("folder.xml"));
    writeBytes(at("empty.xml"), "");
    writeBytes(at("eof.xml"), "\x1a<target></target>");  // 0x1A ends the text at once
    writeBytes(at("hello.xml"), "hello");
    const std::vector<std::tuple<std::string, ConfigReadStatus, bool>> files = {
        {"absent.xml", ConfigReadStatus::missing, false},
        {"folder.xml", ConfigReadStatus::unreadable, false},
        {"empty.xml", ConfigReadStatus::empty, false},
        {"eof.xml", ConfigReadStatus::empty, false},
        {"hello.xml", ConfigReadStatus::noTargetBlocks, true},
    };
    for (const auto& [name, status, readable] : files) {
        std::vector<Target> targets(3, makeTarget(false, ProbeType::tcp, L"x", 1, 1));
        EXPECT_EQ(readConfigFileStatus(pathOf(name), targets), status) << name;
        EXPECT_EQ(describe(targets), L"") << name;
        EXPECT_EQ(readConfigFile(pathOf(name), targets), readable) << name;
    }
    for (const std::wstring text : {L"<target>", L"</target>", L"</target><target>",
                                    L"<config><targets></targets></config>", L"\r\n"}) {
        std::vector<Target> targets;
        EXPECT_EQ(readConfigText(text, targets), ConfigReadStatus::noTargetBlocks) << text;
        EXPECT_EQ(describe(targets), L"") << text;
    }
}
