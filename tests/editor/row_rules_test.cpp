#include "editor/row_rules.h"

#include <gtest/gtest.h>

#include "editor/file_extension.h"

TEST(RowRules, TrimsClampsDefaultsAndRefusesUnusableRows) {
    using enum RowProblem;
    // What a row's controls hold; the target read ("on tcp host:port/interval"), the problem.
    const std::tuple<RowTexts, const wchar_t*, RowProblem> cases[] = {
        {{true, true, L" \thost \r\n", L"443abc", L"1"}, L"on tcp host:443/1", none},
        {{true, true, L"h", L"65535", L"0"}, L"on tcp h:65535/10", none},
        {{true, true, L"h", L"0", L"-3"}, L"on tcp h:0/10", invalidPort},
        {{true, true, L"h", L"65536", L"x"}, L"on tcp h:65535/10", invalidPort},
        {{false, true, L"h", L"-5", L"30"}, L"off tcp h:0/30", none},
        {{true, false, L"h", L"", L"10"}, L"on icmp h:0/10", none},
        {{true, true, L" \t", L"0", L"10"}, L"on tcp :0/10", none},
        {{false, false, L"h\u0100", L"", L"10"}, L"off icmp h\u0100:0/10", unstorableHost}};
    for (const auto& [texts, read, problem] : cases) {
        const RowReading row = readRow(texts);
        const Target& t = row.target;
        EXPECT_EQ((t.enabled ? L"on " : L"off ") + std::wstring(probeTypeText(t.type)) + L" " +
                      t.host + L":" + std::to_wstring(t.port) + L"/" + std::to_wstring(t.interval),
                  read);
        EXPECT_EQ(row.problem, problem) << read;
    }
    // An exported file gets ".xml" when the last part of the name chosen has no dot.
    for (const std::wstring name : {L"backup", L"C:\\data.d\\backup", L"C:\\a.b/c"}) {
        EXPECT_EQ(exportFileName(name), name + L".xml");
        EXPECT_EQ(exportFileName(name + L".cfg"), name + L".cfg");
    }
}
