#include <gtest/gtest.h>

#include <climits>

#include "editor/row_rules.h"

namespace {

RowTexts tcpRow(const std::wstring& host, const std::wstring& port) {
    RowTexts row;
    row.tcp = true;
    row.host = host;
    row.port = port;
    row.interval = L"10";
    return row;
}

}  // namespace

TEST(LeadingNumber, ReadsLikeTheRuntimeWtoi) {
    EXPECT_EQ(leadingNumber(L"443"), 443);
    EXPECT_EQ(leadingNumber(L"443abc"), 443);
    EXPECT_EQ(leadingNumber(L"80x"), 80);
    EXPECT_EQ(leadingNumber(L"  \t\r\n\v\f25"), 25);
    EXPECT_EQ(leadingNumber(L"+7"), 7);
    EXPECT_EQ(leadingNumber(L"-5"), -5);
    EXPECT_EQ(leadingNumber(L"abc"), 0);
    EXPECT_EQ(leadingNumber(L""), 0);
    EXPECT_EQ(leadingNumber(L"   "), 0);
    EXPECT_EQ(leadingNumber(L"- 5"), 0);
    EXPECT_EQ(leadingNumber(L"99999999999"), INT_MAX);
    EXPECT_EQ(leadingNumber(L"-99999999999"), INT_MIN);
}

TEST(ReadRow, RefusesAnUnusablePortOnlyOnAnEnabledTcpRowWithAHost) {
    for (const wchar_t* port : {L"0", L"-5", L"abc", L"65536", L"", L"99999999999"}) {
        EXPECT_EQ(readRow(tcpRow(L"server", port)).problem, RowProblem::invalidPort)
            << testing::PrintToString(std::wstring(port));
    }
    for (const wchar_t* port : {L"1", L"65535", L"443abc", L" 8080"}) {
        EXPECT_EQ(readRow(tcpRow(L"server", port)).problem, RowProblem::none)
            << testing::PrintToString(std::wstring(port));
    }

    RowTexts disabled = tcpRow(L"server", L"0");
    disabled.enabled = false;
    RowTexts blankHost = tcpRow(L" \t ", L"abc");
    RowTexts icmp = tcpRow(L"server", L"-5");
    icmp.tcp = false;
    for (const RowTexts& row : {disabled, blankHost, icmp}) {
        EXPECT_EQ(readRow(row).problem, RowProblem::none);
    }
    EXPECT_EQ(readRow(blankHost).target.host, L"");
    EXPECT_EQ(readRow(blankHost).target.type, ProbeType::tcp);
}

TEST(ReadRow, BuildsTheTargetFromTheTexts) {
    RowTexts row = tcpRow(L"  \tlocalhost \r\n", L"443abc");
    row.interval = L"30";
    Target target = readRow(row).target;
    EXPECT_TRUE(target.enabled);
    EXPECT_EQ(target.type, ProbeType::tcp);
    EXPECT_EQ(target.host, L"localhost");  // trimmed
    EXPECT_EQ(target.port, 443);
    EXPECT_EQ(target.interval, 30);
    EXPECT_EQ(target.nextDue, 0);

    // Refused or not, ports are clamped into 0..65535 for rows that are not checked.
    RowTexts disabled = tcpRow(L"server", L"70000");
    disabled.enabled = false;
    EXPECT_EQ(readRow(disabled).target.port, 65535);
    disabled.port = L"-5";
    EXPECT_EQ(readRow(disabled).target.port, 0);
    EXPECT_FALSE(readRow(disabled).target.enabled);

    for (const wchar_t* interval : {L"", L"0", L"-3", L"x"}) {
        row.interval = interval;
        EXPECT_EQ(readRow(row).target.interval, 10) << testing::PrintToString(std::wstring(interval));
    }
    row.interval = L"120";
    EXPECT_EQ(readRow(row).target.interval, 120);
}

TEST(ReadRow, RefusesAHostTheFileCannotStoreInAnyRow) {
    RowTexts row = tcpRow(L"host\u0100name", L"80");
    EXPECT_EQ(readRow(row).problem, RowProblem::unstorableHost);
    row.enabled = false;  // the whole file would fail, so a disabled row counts as well
    EXPECT_EQ(readRow(row).problem, RowProblem::unstorableHost);
    row.host = L"h\u00f6st\u00ff";  // one byte each: storable
    EXPECT_EQ(readRow(row).problem, RowProblem::none);
    // A row with both faults is reported for its port first.
    RowTexts both = tcpRow(L"\u4e2d", L"0");
    EXPECT_EQ(readRow(both).problem, RowProblem::invalidPort);
}

TEST(RowProblemText, NamesTheRowNumber) {
    EXPECT_EQ(rowProblemText(4, RowProblem::invalidPort), L"Row 4: TCP selected but port is invalid.");
    EXPECT_EQ(rowProblemText(20, RowProblem::unstorableHost),
              L"Row 20: the host name holds characters that cannot be stored.");
}
