// The built Tarvex.exe as Windows reads it: version, icon group (6 + 14 bytes/icon), manifest.
#include <windows.h>

#include <gtest/gtest.h>

TEST(Release, ExeCarriesVersionIconAndManifest) {
    std::string data(16384, '\0');
    void* text = nullptr;
    UINT size = 0;
    GetFileVersionInfoW(TARVEX_EXE, 0, DWORD(data.size()), data.data());
    VerQueryValueW(data.data(), L"\\StringFileInfo\\040904B0\\ProductVersion", &text, &size);
    EXPECT_STREQ(static_cast<wchar_t*>(text), TARVEX_VERSION_TEXT);  // the title's version
    HMODULE exe = LoadLibraryExW(TARVEX_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_EQ(SizeofResource(exe, FindResourceW(exe, MAKEINTRESOURCEW(1), RT_GROUP_ICON)), 48u);
    const HRSRC found = FindResourceW(exe, MAKEINTRESOURCEW(1), RT_MANIFEST);
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(exe, found))),
                               SizeofResource(exe, found));
    // Run as the user; Windows 7, 8, 8.1 and 10/11; the Common Controls 6 visual styles.
    for (const char* part : {"level=\"asInvoker\"", "{35138b9a-", "{4a2f28e3-", "{1f676c76-",
                             "{8e0f7a12-", "\"Microsoft.Windows.Common-Controls\" version=\"6."})
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
}
