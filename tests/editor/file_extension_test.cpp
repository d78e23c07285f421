#include "editor/file_extension.h"

#include <gtest/gtest.h>

TEST(ExportFileName, AppendsXmlOnlyWhenTheLastComponentHasNoDot) {
    // The later of '\' and '/' ends the folder part; a dot before it does not count.
    for (const std::wstring name : {L"backup", L"C:\\data.d\\backup", L"C:/data.d/backup",
                                    L"C:/a.b\\c", L"C:\\data.d/backup", L"C:\\data.d\\", L""}) {
        EXPECT_EQ(exportFileName(name), name + L".xml");
    }
    for (const std::wstring name :
         {L"backup.cfg", L"C:/data/targets.txt", L"C:\\data\\.hidden", L"C:\\data\\name."}) {
        EXPECT_EQ(exportFileName(name), name);
    }
}
