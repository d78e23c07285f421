// The built Tarvex.exe as Windows reads it: version, icon group (6 + 14 bytes/icon), manifest.
#include <gtest/gtest.h>
#include <windows.h>

TEST(Release, ExeCarriesVersionIconAndManifest) {
    std::string data(16384, '\0');
    void* text = nullptr;
    UINT size = 0;
    GetFileVersionInfoW(TARVEX_EXE, 0, DWORD(data.size()), data.data());
    VerQueryValueW(data.data(), L"\\StringFileInfo\\040904B0\\ProductVersion", &text, &size);
    EXPECT_STREQ(static_cast<wchar_t*>(text), TARVEX_VERSION_TEXT);  // the title's version
    HMODULE exe = LoadLibraryExW(TARVEX_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_EQ(SizeofResource(exe, FindResourceW(exe, MAKEINTRESOURCEW(1), RT_GROUP_ICON)), 48u);
    ACTCTXW request{};
    request.cbSize = sizeof(request);
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = TARVEX_EXE;
    request.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
    const auto query = [&, context = CreateActCtxW(&request)](ACTIVATION_CONTEXT_INFO_CLASS what) {
        QueryActCtxW(0, context, nullptr, what, data.assign(16384, '\0').data(), 16384, nullptr);
        return reinterpret_cast<DWORD*>(data.data());  // zeros when unanswered
    };
    EXPECT_EQ(query(RunlevelInformationInActivationContext)[1], ACTCTX_RUN_LEVEL_AS_INVOKER);
    EXPECT_EQ(query(CompatibilityInformationInActivationContext)[0], 4u);  // supportedOS
    EXPECT_EQ(query(ActivationContextDetailedInformation)[2], 2u);         // it and Common Controls
}
