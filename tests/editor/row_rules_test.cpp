#include "editor/row_rules.h"

#include <gtest/gtest.h>

#include <tuple>

// How leadingNumber reads a number is checked against the runtime's _wtoi under Wine.
TEST(ReadRow, TrimsClampsDefaultsAndRefusesAnUnusablePortOrAnUnstorableHost) {
    // A tcp row's check, host, port and interval texts; what is read, and the problem found.
    using R = RowProblem;
    const std::tuple<bool, const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*, R>
        cases[] = {
            {true, L"  \tlocalhost \r\n", L"443abc", L"30", L"localhost:443/30", R::none},
            {true, L"127.0.0.1", L" 8080", L"10", L"127.0.0.1:8080/10", R::none},
            {true, L"127.0.0.1", L"", L"10", L"127.0.0.1:0/10", R::invalidPort},
            {true, L"127.0.0.1", L"99999999999", L"10", L"127.0.0.1:65535/10", R::invalidPort},
            // Ports of rows that are not checked are clamped into 0..65535.
            {false, L"h", L"70000", L"", L"h:65535/10", R::none},
            {false, L"h", L"-5", L"0", L"h:0/10", R::none},
            {false, L"h", L"1", L"-3", L"h:1/10", R::none},
            {false, L"h", L"2", L"x", L"h:2/10", R::none},
            // The whole file would fail to be written, so any row counts; the port comes first.
            {false, L"h\u0100", L"80", L"10", L"h\u0100:80/10", R::unstorableHost},
            {false, L"h\u00f6\u00ff", L"80", L"10", L"h\u00f6\u00ff:80/10", R::none},
            {true, L"\u4e2d", L"0", L"10", L"\u4e2d:0/10", R::invalidPort},
        };
    for (const auto& [enabled, host, port, interval, read, problem] : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(host) + L"|" + port + L"|" + interval));
        const RowReading reading = readRow({enabled, true, host, port, interval});
        const Target& target = reading.target;
        EXPECT_EQ(target.host + L":" + std::to_wstring(target.port) + L"/" +
                      std::to_wstring(target.interval),
                  read);
        EXPECT_EQ(reading.problem, problem);
        EXPECT_TRUE(target.enabled == enabled && target.type == ProbeType::tcp);
    }
}
