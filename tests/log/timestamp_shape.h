#pragma once
// The shape of a log time stamp, "YYYY-MM-DD hh:mm:ss": a digit wherever the shape has one.

#include <gtest/gtest.h>

inline void expectTimestampShape(std::wstring stamp) {
    for (wchar_t& c : stamp) c = (c >= L'0' && c <= L'9') ? L'd' : c;
    EXPECT_EQ(stamp, L"dddd-dd-dd dd:dd:dd");
}
