#pragma once
// The shape of a log time stamp, "YYYY-MM-DD hh:mm:ss", checked character by character.

#include <gtest/gtest.h>

#include <string>

inline void expectTimestampShape(const std::wstring& stamp) {
    const std::wstring shape = L"dddd-dd-dd dd:dd:dd";
    ASSERT_EQ(stamp.size(), shape.size());
    for (std::size_t i = 0; i < shape.size(); ++i) {
        if (shape[i] == L'd') {
            EXPECT_TRUE(stamp[i] >= L'0' && stamp[i] <= L'9') << "position " << i;
        } else {
            EXPECT_EQ(stamp[i], shape[i]) << "position " << i;
        }
    }
}
