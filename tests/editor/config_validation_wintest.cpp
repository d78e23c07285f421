#include <cstdlib>

#include "editor/editor_fixture.h"
#include "editor/row_rules.h"

namespace {

using ConfigValidationTest = EditorTest;

const std::wstring badPort = L"TCP selected but port is invalid.";

std::wstring warning(int rowNumber, const std::wstring& text) {
    return promptText(L"Config validation", MB_OK | MB_ICONWARNING,
                      L"Row " + std::to_wstring(rowNumber) + L": " + text);
}

}  // namespace

// Each case edits row 6 (slot 5) and presses Save; a refused Save stores, writes, logs and
// posts nothing.
TEST_F(ConfigValidationTest, SaveRefusesOnlyAnUnusablePortOnAnEnabledTcpRowWithAHost) {
    const struct {
        bool on, tcp;
        const wchar_t* host;
        const wchar_t* port;
        const wchar_t* stored;  // nothing when refused
    } cases[] = {
        {true, true, L"127.0.0.6", L"0", nullptr},
        {true, true, L"127.0.0.6", L"-5", nullptr},
        {true, true, L"127.0.0.6", L"abc", nullptr},
        {true, true, L"127.0.0.6", L"65536", nullptr},
        {false, true, L"127.0.0.6", L"0", L"off tcp 127.0.0.6:0/10"},
        {true, true, L" \t ", L"abc", L"on tcp :0/10"},
        {true, true, L"127.0.0.6", L"1", L"on tcp 127.0.0.6:1/10"},
        {true, true, L"127.0.0.6", L"65535", L"on tcp 127.0.0.6:65535/10"},
        {true, true, L"127.0.0.6", L"443abc", L"on tcp 127.0.0.6:443/10"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.host) + L"|" + c.port));
        prompts.clear();
        editRow(5, c.on, c.tcp, c.host, c.port);
        click(saveButtonId);
        if (c.stored) {
            EXPECT_TRUE(prompts.empty());
            EXPECT_EQ(slot(5), c.stored);
        } else {  // the refused cases come first: nothing is stored yet
            EXPECT_EQ(prompts, std::vector{warning(6, badPort)});
            EXPECT_EQ(slot(5), L"on icmp :0/10");
            EXPECT_FALSE(pathExists(configFilePath()));
            EXPECT_TRUE(loggedEvents.empty());
            EXPECT_EQ(takeRefreshes(), 0);
        }
    }
    // An icmp row has no port to refuse.
    editRow(7, true, true, L"127.0.0.6", L"99999");
    selectType(7, false);
    click(saveButtonId);
    EXPECT_EQ(slot(7), L"on icmp 127.0.0.6:0/10");
}

TEST_F(ConfigValidationTest, ReportsOnlyTheFirstInvalidRowAndOpensNoDialog) {
    editRow(2, true, true, L"127.0.0.3", L"0");
    editRow(6, true, true, L"127.0.0.7", L"70000");
    click(exportButtonId);
    click(saveButtonId);
    EXPECT_EQ(prompts, (std::vector{warning(3, badPort), warning(3, badPort)}));
    EXPECT_TRUE(fileDialogs.empty());
    EXPECT_EQ(slot(2), L"on tcp 127.0.0.2:8080/120");
}

TEST_F(ConfigValidationTest, RefusesAHostTheFileCannotStore) {
    editRow(5, false, false, L"h\u0142ost", L"");  // disabled rows are stored too
    click(saveButtonId);
    click(exportButtonId);
    const std::wstring refused =
        warning(6, L"the host name holds characters that cannot be stored.");
    EXPECT_EQ(prompts, (std::vector{refused, refused}));
    EXPECT_TRUE(fileDialogs.empty());
    EXPECT_EQ(slot(5), L"on icmp :0/10");
    EXPECT_TRUE(loggedEvents.empty() && !pathExists(configFilePath()));
}

TEST(LeadingNumberOnWindows, AgreesWithTheRuntimeWtoi) {
    for (const wchar_t* text : {L"443", L"443abc", L" \t\r\n\v\f+25", L"-5", L"+7", L"abc", L"",
                                L"   ", L"- 5", L"65536", L"99999999999", L"-99999999999"}) {
        EXPECT_EQ(leadingNumber(text), _wtoi(text)) << testing::PrintToString(std::wstring(text));
    }
}
