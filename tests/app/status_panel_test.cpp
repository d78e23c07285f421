#include "app/status_panel.h"

#include <gtest/gtest.h>

namespace {

std::wstring blanks(std::size_t count) { return std::wstring(count, L' '); }

// The labels' trailing blanks are counted here independently of the program's literals.
std::wstring expectedText(const std::wstring& state, const std::wstring& count,
                          const std::wstring& folder) {
    return L"Server Status:" + blanks(19) + state + L"\r\n" +  //
           L"Targets:" + blanks(27) + count + L"\r\n\r\n" +    //
           L"Config Path:" + blanks(21) + folder + L"config.xml\r\n" + L"Log Path:" + blanks(25) +
           folder + L"monitor.log\r\n\r\n";
}

TEST(StatusText, LaysOutStateCountAndPathsLineByLine) {
    const std::wstring folder = L"C:\\users\\op\\AppData\\Local\\Tarvex\\";
    const std::wstring running = buildStatusText(true, 0, folder);
    const std::wstring head = expectedText(L"RUNNING", L"0", folder);
    ASSERT_EQ(running.substr(0, head.size()), head);

    const std::wstring stopped = buildStatusText(false, 20, folder);
    const std::wstring stoppedHead = expectedText(L"STOPPED", L"20", folder);
    ASSERT_EQ(stopped.substr(0, stoppedHead.size()), stoppedHead);
    // The same credit block closes both texts.
    EXPECT_EQ(stopped.substr(stoppedHead.size()), running.substr(head.size()));
}

TEST(StatusText, EndsWithTwoCreditLinesOfLabelAndValue) {
    const std::wstring folder = L"./Tarvex/";
    const std::wstring text = buildStatusText(true, 3, folder);
    const std::wstring credits = text.substr(expectedText(L"RUNNING", L"3", folder).size());
    EXPECT_EQ(credits,
              L"Developed by:" + blanks(20) + L"the Tarvex team\r\n" +  //
                  L"Edition:" + blanks(25) + L"Tarvex Desktop " + TARVEX_VERSION_TEXT + L"\r\n");
}

}  // namespace
