// The text helpers of the config file: escaping, trimming, tags, probe types and numbers.

#include <gtest/gtest.h>

#include <climits>
#include <utility>
#include <vector>

#include "config/config_file.h"

using Spellings = std::vector<std::pair<std::wstring, std::wstring>>;

TEST(ConfigText, EscapeXmlReplacesTheFiveCharactersOnce) {
    EXPECT_EQ(escapeXml(L"a\"b&c'd<e>f"), L"a&quot;b&amp;c&apos;d&lt;e&gt;f");
    EXPECT_EQ(escapeXml(L"&amp;"), L"&amp;amp;");
    EXPECT_EQ(escapeXml(L"plain host-1.example \u00e9"), L"plain host-1.example \u00e9");
    EXPECT_EQ(escapeXml(L""), L"");
}

TEST(ConfigText, UnescapeXmlDecodesInFivePasses) {
    const Spellings cases = {
        {L"&lt;&gt;&quot;&apos;&amp;", L"<>\"'&"},
        {L"&amp;lt;", L"&lt;"},  // an escaped entity name is decoded once
        {L"&amp;amp;", L"&amp;"},
        {L"&&amp;", L"&&"},
        {L"&lt;&lt;x&lt;", L"<<x<"},  // every occurrence, searching on after each
        {L"&&lt;;", L"&<;"},
        {L"&#60;&#x3c;&nbsp;&lt", L"&#60;&#x3c;&nbsp;&lt"},  // nothing else is decoded
        {L"&LT;", L"&LT;"},
        {L"", L""},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(unescapeXml(in), out) << in;
}

TEST(ConfigText, TrimBlanksStripsOnlyFourBlanks) {
    const Spellings cases = {
        {L" \t\r\nhost name\n\r\t ", L"host name"},
        {L" \t\r\n", L""},
        {L"", L""},
        {L"\vhost\f", L"\vhost\f"},
        {L"\u00a0host\u00a0", L"\u00a0host\u00a0"},
        {L"a", L"a"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(trimBlanks(in), out);
}

TEST(ConfigText, ExtractTagValueTrimsThenDecodes) {
    std::wstring value = L"unchanged";
    EXPECT_TRUE(extractTagValue(L"<target><host> &lt;a&gt; </host></target>", L"host", value));
    EXPECT_EQ(value, L"<a>");
    EXPECT_TRUE(extractTagValue(L"<host>&#32;x&amp;#32;</host>", L"host", value));
    EXPECT_EQ(value, L"&#32;x&#32;");
    EXPECT_TRUE(extractTagValue(L"<port></port>", L"port", value));
    EXPECT_EQ(value, L"");
    // The first opening and the first closing tag, each searched from the start.
    EXPECT_TRUE(extractTagValue(L"<slot>1</slot><slot>2</slot>", L"slot", value));
    EXPECT_EQ(value, L"1");
}

TEST(ConfigText, ExtractTagValueMissesLeaveTheValue) {
    const std::vector<std::wstring> blocks = {
        L"<slot>3",                  // no closing tag
        L"3</slot>",                 // no opening tag
        L"</slot>3<slot>",           // closing tag first
        L"<Slot>3</Slot>",           // letter case counts
        L"<slot id=\"1\">3</slot>",  // attributes
        L"< slot>3</slot>",
        L"",
    };
    for (const auto& block : blocks) {
        std::wstring value = L"unchanged";
        EXPECT_FALSE(extractTagValue(block, L"slot", value)) << block;
        EXPECT_EQ(value, L"unchanged");
    }
}

TEST(ConfigText, ParseProbeTypeTable) {
    for (const std::wstring text : {L"tcp", L"TCP", L"Tcp", L" tcp\r\n", L"\ttCP "}) {
        EXPECT_EQ(parseProbeType(text), ProbeType::tcp) << text;
    }
    for (const std::wstring text : {L"icmp", L"udp", L"1", L"", L"t cp", L"tcp.", L"\vtcp"}) {
        EXPECT_EQ(parseProbeType(text), ProbeType::icmp) << text;
    }
}

TEST(ConfigText, ParseInt32Table) {
    const std::vector<std::pair<std::wstring, std::int32_t>> cases = {
        {L"0", 0},
        {L"12abc", 12},
        {L"abc", 0},
        {L"", 0},
        {L"-5", -5},
        {L"+7", 7},
        {L"-", 0},
        {L"--5", 0},
        {L" 5", 0},  // no blank skipping: the reader trims first
        {L"007", 7},
        {L"2147483647", INT32_MAX},
        {L"2147483648", INT32_MAX},
        {L"99999999999999999999999", INT32_MAX},
        {L"-2147483648", INT32_MIN},
        {L"-2147483649", INT32_MIN},
        {L"-99999999999999999999999", INT32_MIN},
        {L"4294967296", INT32_MAX},  // saturated, not wrapped to 0
    };
    for (const auto& [text, number] : cases) EXPECT_EQ(parseInt32(text), number) << text;
}
