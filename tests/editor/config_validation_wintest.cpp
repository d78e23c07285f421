#include <cstdlib>

#include "editor/editor_fixture.h"
#include "editor/row_rules.h"

namespace {

using ConfigValidationTest = EditorTest;

const std::wstring portWarning = L": TCP selected but port is invalid.";

// Nothing of a refused action may have happened.
void expectNothingStored() {
    EXPECT_EQ(targetTable.snapshot()[5].host, L"");
    EXPECT_FALSE(pathExists(configFilePath()));
    EXPECT_TRUE(loggedLines.empty());
}

}  // namespace

TEST_F(ConfigValidationTest, RefusesAnUnusablePortOnAnEnabledTcpRowWithAHost) {
    for (const wchar_t* port : {L"0", L"-5", L"abc", L"65536"}) {
        prompts.clear();
        editRow(5, true, true, L"127.0.0.6", port);
        click(saveButtonId);
        ASSERT_EQ(prompts.size(), 1u) << port;
        EXPECT_EQ(prompts[0].text, L"Row 6" + portWarning);
        EXPECT_EQ(prompts[0].title, L"Config validation");
        EXPECT_EQ(prompts[0].flags, static_cast<UINT>(MB_OK | MB_ICONWARNING));
        EXPECT_EQ(prompts[0].owner, configWindow);
        expectNothingStored();
        EXPECT_EQ(takeRefreshes(), 0);
    }
    for (const auto& [port, stored] : {std::pair{L"1", 1}, {L"65535", 65535}, {L"443abc", 443}}) {
        prompts.clear();
        editRow(5, true, true, L"127.0.0.6", port);
        click(saveButtonId);
        EXPECT_TRUE(prompts.empty()) << port;
        EXPECT_EQ(targetTable.snapshot()[5].port, stored);
    }
}

TEST_F(ConfigValidationTest, NeverRefusesADisabledBlankOrIcmpRow) {
    editRow(5, false, true, L"127.0.0.6", L"0");
    editRow(6, true, true, L" \t ", L"abc");
    editRow(7, true, true, L"127.0.0.6", L"99999");
    selectType(7, false);
    click(saveButtonId);
    EXPECT_TRUE(prompts.empty());
    const std::vector<Target> table = targetTable.snapshot();
    EXPECT_FALSE(table[5].enabled);
    EXPECT_EQ(table[5].port, 0);
    EXPECT_EQ(table[6].host, L"");
    EXPECT_EQ(table[6].type, ProbeType::tcp);
    EXPECT_EQ(table[7].type, ProbeType::icmp);
    EXPECT_EQ(table[7].port, 0);
}

TEST_F(ConfigValidationTest, ReportsOnlyTheFirstInvalidRowAndOpensNoDialog) {
    editRow(2, true, true, L"127.0.0.3", L"0");
    editRow(6, true, true, L"127.0.0.7", L"70000");
    click(exportButtonId);
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].text, L"Row 3" + portWarning);
    EXPECT_TRUE(fileDialogs.empty());

    prompts.clear();
    click(saveButtonId);
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].text, L"Row 3" + portWarning);
    EXPECT_EQ(targetTable.snapshot()[2].host, L"127.0.0.2");  // unchanged
}

TEST_F(ConfigValidationTest, RefusesAHostTheFileCannotStore) {
    editRow(5, false, false, L"h\u0142ost");  // disabled rows are stored too
    for (int button : {saveButtonId, exportButtonId}) {
        prompts.clear();
        click(button);
        ASSERT_EQ(prompts.size(), 1u);
        EXPECT_EQ(prompts[0].text, L"Row 6: the host name holds characters that cannot be stored.");
        EXPECT_EQ(prompts[0].title, L"Config validation");
        EXPECT_EQ(prompts[0].flags, static_cast<UINT>(MB_OK | MB_ICONWARNING));
    }
    EXPECT_TRUE(fileDialogs.empty());
    expectNothingStored();
}

TEST(LeadingNumberOnWindows, AgreesWithTheRuntimeWtoi) {
    for (const wchar_t* text : {L"443", L" \t80x", L"-5", L"+7", L"abc", L"", L"- 5", L"65536",
                                L"99999999999", L"-99999999999"}) {
        EXPECT_EQ(leadingNumber(text), _wtoi(text)) << testing::PrintToString(std::wstring(text));
    }
}
