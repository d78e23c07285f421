#include "editor/row_rules.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

RowTexts tcpRow(const wchar_t* host, const wchar_t* port) {
    return {.enabled = true, .tcp = true, .host = host, .port = port, .interval = L"10"};
}

}  // namespace

TEST(LeadingNumber, ReadsLikeTheRuntimeWtoi) {
    EXPECT_EQ(leadingNumber(L"443abc"), 443);
    EXPECT_EQ(leadingNumber(L"  \t\r\n\v\f+25"), 25);
    EXPECT_EQ(leadingNumber(L"-5"), -5);
    EXPECT_EQ(leadingNumber(L"   "), 0);
    EXPECT_EQ(leadingNumber(L"- 5"), 0);
    EXPECT_EQ(leadingNumber(L"99999999999"), INT_MAX);
    EXPECT_EQ(leadingNumber(L"-99999999999"), INT_MIN);
}

TEST(ReadRow, BuildsTheTargetFromTheTexts) {
    RowTexts row = tcpRow(L"  \tlocalhost \r\n", L"443abc");
    row.interval = L"30";
    const Target target = readRow(row).target;
    EXPECT_TRUE(target.enabled);
    EXPECT_EQ(target.type, ProbeType::tcp);
    EXPECT_EQ(target.host, L"localhost");
    EXPECT_EQ(target.port, 443);
    EXPECT_EQ(target.interval, 30);

    // Ports of rows that are not checked are clamped into 0..65535.
    row.enabled = false;
    row.port = L"70000";
    EXPECT_EQ(readRow(row).target.port, 65535);
    row.port = L"-5";
    EXPECT_EQ(readRow(row).target.port, 0);
    for (const wchar_t* interval : {L"", L"0", L"-3", L"x"}) {
        row.interval = interval;
        EXPECT_EQ(readRow(row).target.interval, 10);
    }
}

TEST(ReadRow, RefusesAnUnusablePortOrAnUnstorableHost) {
    EXPECT_EQ(readRow(tcpRow(L"127.0.0.1", L"")).problem, RowProblem::invalidPort);
    EXPECT_EQ(readRow(tcpRow(L"127.0.0.1", L"99999999999")).problem, RowProblem::invalidPort);
    EXPECT_EQ(readRow(tcpRow(L"127.0.0.1", L" 8080")).problem, RowProblem::none);

    RowTexts row = tcpRow(L"host\u0100name", L"80");
    row.enabled = false;  // the whole file would fail to be written, so any row counts
    EXPECT_EQ(readRow(row).problem, RowProblem::unstorableHost);
    row.host = L"h\u00f6st\u00ff";  // one byte each
    EXPECT_EQ(readRow(row).problem, RowProblem::none);
    EXPECT_EQ(readRow(tcpRow(L"\u4e2d", L"0")).problem, RowProblem::invalidPort);  // port first
}
