#include "editor/file_extension.h"

#include <gtest/gtest.h>

TEST(ExportFileName, AppendsXmlOnlyWhenTheLastComponentHasNoDot) {
    struct Case {
        const wchar_t* chosen;
        const wchar_t* written;
    };
    const Case cases[] = {
        {L"backup", L"backup.xml"},
        {L"C:\\data.d\\backup", L"C:\\data.d\\backup.xml"},
        {L"backup.cfg", L"backup.cfg"},
        {L"targets.txt", L"targets.txt"},
        {L"C:/data.d/backup", L"C:/data.d/backup.xml"},
        {L"C:/data/backup.cfg", L"C:/data/backup.cfg"},
        {L"C:\\data.d/backup", L"C:\\data.d/backup.xml"},  // the later separator counts
        {L"C:/a.b\\c", L"C:/a.b\\c.xml"},
        {L"C:\\data\\.hidden", L"C:\\data\\.hidden"},
        {L"C:\\data\\name.", L"C:\\data\\name."},
        {L"C:\\data.d\\", L"C:\\data.d\\.xml"},
        {L"", L".xml"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(exportFileName(c.chosen), c.written)
            << testing::PrintToString(std::wstring(c.chosen));
    }
}
