#include "editor/row_rules.h"

#include <gtest/gtest.h>

#include "editor/file_extension.h"

TEST(RowRules, TrimsClampsDefaultsAndRefusesUnusableRows) {
    using P = RowProblem;
    // A row's check box, tcp, host, port and interval; "host:port/interval" read, the problem.
    const std::tuple<bool, bool, const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*, P>
        cases[] = {{true, true, L" \thost \r\n", L"443abc", L"1", L"host:443/1", P::none},
                   {true, true, L"h", L"65535", L"0", L"h:65535/10", P::none},
                   {true, true, L"h", L"0", L"-3", L"h:0/10", P::invalidPort},
                   {true, true, L"h", L"65536", L"x", L"h:65535/10", P::invalidPort},
                   {false, true, L"h", L"-5", L"30", L"h:0/30", P::none},
                   {true, false, L"h", L"", L"10", L"h:0/10", P::none},
                   {true, true, L" \t", L"0", L"10", L":0/10", P::none},
                   {false, false, L"h\u0100", L"", L"10", L"h\u0100:0/10", P::unstorableHost}};
    for (const auto& [enabled, tcp, host, port, interval, read, problem] : cases) {
        const RowReading row = readRow({enabled, tcp, host, port, interval});
        const Target& t = row.target;
        EXPECT_EQ(t.host + L":" + std::to_wstring(t.port) + L"/" + std::to_wstring(t.interval),
                  read);
        EXPECT_EQ(row.problem, problem) << read;
        EXPECT_EQ(t.enabled, enabled) << read;
        EXPECT_EQ(t.type, tcp ? ProbeType::tcp : ProbeType::icmp) << read;
    }
    EXPECT_EQ(rowProblemText(4, P::invalidPort), L"Row 4: TCP selected but port is invalid.");
    // An exported file gets ".xml" when the last part of the name chosen has no dot.
    for (const std::wstring name :
         {L"backup", L"C:\\data.d\\backup", L"C:/data.d/backup", L"C:\\a.b/c"}) {
        EXPECT_EQ(exportFileName(name), name + L".xml");
        EXPECT_EQ(exportFileName(name + L".cfg"), name + L".cfg");
    }
}
