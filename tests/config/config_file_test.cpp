// The writer's document against files/default.xml byte for byte, others as what they change in
// it; the tolerant reading: spellings a hand-edited file may hold and what is stored from each.

#include "config/config_file.h"

#include <gtest/gtest.h>

#include "config/document_changes.h"

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
    // The file `bytes` read as `answer`, then stored again.
    const auto readBack = [&](const std::string& bytes, ConfigReadStatus answer) {
        writeBytes(folder.path() / "in.xml", bytes);
        std::vector<Target> targets(3, varied[0]);
        EXPECT_EQ(readConfigFileStatus(folder.file(L"in.xml"), targets), answer) << bytes;
        return changesOf(stored(targets));
    };
    EXPECT_EQ(stored({}), testFile("config/files/default.xml"));
    const std::string variedChanges =
        "slot 0: type tcp, host 127.0.0.1, port 443, interval 30\n"
        "slot 1: enabled 0, host a&quot;b&amp;c&apos;d&lt;e&gt;f &amp;amp;&amp;lt;, port 65535";
    EXPECT_EQ(changesOf(stored(varied)), variedChanges + ", interval -5\n");
    EXPECT_EQ(documentWith(variedChanges + ", interval -5\n"), stored(varied));
    EXPECT_EQ(readBack(stored(varied), read), variedChanges + "\n");  // an interval below 1: 10
    EXPECT_EQ(readBack("", empty), "");
    EXPECT_EQ(readBack("hello", noTargetBlocks), "");
    std::vector<Target> targets(3, varied[0]);
    EXPECT_EQ(readConfigFileStatus(folder.file(L"missing.xml"), targets), missing);
    EXPECT_EQ(changesOf(stored(targets)), "");
    // A failed write is reported (the file stays as it was: text_file_test.cpp).
    EXPECT_FALSE(writeConfigFile(folder.file(L"missing/out.xml"), {}));
}

TEST(ConfigFile, ReadsEverySpellingOfAHandEditedFile) {
    std::wstring twentyOne;
    std::string hosts;
    for (int i = 0; i < 20; ++i) {
        twentyOne += L"<target><host>" + std::to_wstring(i) + L"</host></target>";
        hosts += "slot " + std::to_string(i) + ": host " + std::to_string(i) + "\n";
    }
    const std::pair<std::wstring, std::string> spellings[] = {
        // Blocks without a slot element take the next free number; damaged ends are skipped.
        {L"</target> x <target><host>a</host></target><target><host>b</host></target>"
         L"<target><slot>0</slot><host>slot zero</host></target></target>"
         L"<target><Slot>9</Slot><host>c</host></target>",
         "slot 0: host slot zero\nslot 1: host b\nslot 2: host c\n"},
        {L"<target><slot>20</slot><host>x</host></target><target><slot>-1</slot><host>x</host>"
         L"</target><target><slot>100</slot><host>x</host></target><target><host>h</host></target>",
         "slot 0: host h\n"},
        {twentyOne + L"<target><host>the 21st</host></target><target><slot>19</slot><host>cut",
         hosts},
        {L"<target><type> TCP\t</type><host> \th\n</host><port>65536</port><interval>0</interval>"
         L"</target>",
         "slot 0: type tcp, host h\n"},
        {L"<target><enabled>true</enabled><type>Tcp</type><port>65979</port>"
         L"<interval>-5</interval></target>",
         "slot 0: enabled 0, type tcp, port 443\n"},
        {L"<target><enabled>7</enabled><type>udp</type><port>-1</port><interval>x</interval>"
         L"</target>",
         "slot 0: port 65535\n"},
        {L"<target><enabled>0</enabled><type>1</type><port>99999999999</port>"
         L"<interval>12abc</interval></target>",
         "slot 0: enabled 0, port 65535, interval 12\n"},
        {L"<target><type></type><interval>99999999999</interval>"
         L"<host>&amp;lt;&lt;&gt;&quot;&apos;&amp;</host></target>",
         "slot 0: host &amp;lt;&lt;&gt;&quot;&apos;&amp;, interval 2147483647\n"},
        {L"<target><host>h </host></target>", "slot 0: host h\n"},
    };
    const ScratchFolder folder;
    for (const auto& [text, changes] : spellings) {
        std::vector<Target> targets;
        EXPECT_EQ(readConfigText(text, targets), ConfigReadStatus::read);
        ASSERT_TRUE(writeConfigFile(folder.file(L"out.xml"), targets));
        EXPECT_EQ(changesOf(readBytes(folder.path() / "out.xml")), changes)
            << std::string(text.begin(), text.end());
    }
}
