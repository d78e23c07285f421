// The writer's document compared byte for byte with the default one; every other document as
// what it changes in that one. The tolerant reading: a table of files, spellings a hand-edited
// one may hold among them, what reading says of each and what the writer stores after it.

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
    EXPECT_EQ(stored({}), defaultDocument());
    const std::string variedChanges =
        "slot 0: type tcp, host 127.0.0.1, port 443, interval 30\n"
        "slot 1: enabled 0, host a&quot;b&amp;c&apos;d&lt;e&gt;f &amp;amp;&amp;lt;, port 65535";
    EXPECT_EQ(changesOf(stored(varied)), variedChanges + ", interval -5\n");
    const std::tuple<std::string, ConfigReadStatus, std::string> files[] = {
        {stored(varied), read, variedChanges + "\n"},  // an interval below 1: 10
        {"", empty, ""},
        {"hello", noTargetBlocks, ""},
        // Blocks without a slot element take the next free number; damaged ends are skipped.
        {"</target> x <target><host>a</host></target><target><host>b</host></target>"
         "<target><slot>0</slot><host>slot zero</host></target></target>"
         "<target><Slot>9</Slot><host>c</host></target>",
         read, "slot 0: host slot zero\nslot 1: host b\nslot 2: host c\n"},
        {"<target><slot>20</slot><host>x</host></target><target><slot>-1</slot><host>x</host>"
         "</target><target><slot>100</slot><host>x</host></target><target><host>h</host></target>"
         "<target><slot>19</slot><host>n</host></target><target><slot>19</slot><host>cut",
         read, "slot 0: host h\nslot 19: host n\n"},
        {"<target><type> TCP\t</type><host> \th\n</host><port>65536</port><interval>0</interval>"
         "</target>",
         read, "slot 0: type tcp, host h\n"},
        {"<target><enabled>7</enabled><type>udp</type><port>-1</port><interval>x</interval>"
         "</target>",
         read, "slot 0: port 65535\n"},
        {"<target><enabled>true</enabled><type>1</type><port>99999999999</port>"
         "<interval>12abc</interval></target>",
         read, "slot 0: enabled 0, port 65535, interval 12\n"},
        {"<target><type></type><interval>99999999999</interval>"
         "<host>&amp;lt;&lt;&gt;&quot;&apos;&amp;</host></target>",
         read, "slot 0: host &amp;lt;&lt;&gt;&quot;&apos;&amp;, interval 2147483647\n"},
    };
    for (const auto& [bytes, status, changes] : files) {
        writeBytes(folder.path() / "in.xml", bytes);
        std::vector<Target> targets(3, varied[0]);
        EXPECT_EQ(readConfigFileStatus(folder.file(L"in.xml"), targets), status) << bytes;
        EXPECT_EQ(changesOf(stored(targets)), changes) << bytes;
    }
    std::vector<Target> targets(3, varied[0]);
    EXPECT_EQ(readConfigFileStatus(folder.file(L"missing.xml"), targets), missing);
    EXPECT_EQ(changesOf(stored(targets)), "");
    // A failed write is reported (the file stays as it was: text_file_test.cpp).
    EXPECT_FALSE(writeConfigFile(folder.file(L"missing/out.xml"), {}));
}
