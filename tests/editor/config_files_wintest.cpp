#include "editor/editor_fixture.h"

namespace {

using ConfigFilesTest = EditorTest;

std::vector<Target> readBack(const std::wstring& path) {
    std::vector<Target> targets;
    EXPECT_EQ(readConfigFileStatus(path, targets), ConfigReadStatus::read);
    return targets;
}

void expectError(const std::wstring& text) {
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].text, text);
    EXPECT_EQ(prompts[0].title, L"Config");
    EXPECT_EQ(prompts[0].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(prompts[0].owner, configWindow);
}

}  // namespace

TEST_F(ConfigFilesTest, ExportWritesTheRowsAsEditedAndChangesNothingElse) {
    ScratchFolder folder;
    editRow(4, true, true, L"127.0.0.5", L"8443");
    fileAnswer = folder.file(L"backup");
    click(exportButtonId);

    EXPECT_EQ(fileDialogs, std::vector<bool>{true});
    EXPECT_TRUE(prompts.empty());
    EXPECT_FALSE(pathExists(folder.file(L"backup")));
    const std::vector<Target> exported = readBack(folder.file(L"backup.xml"));
    EXPECT_EQ(exported[4].host, L"127.0.0.5");
    EXPECT_EQ(exported[4].port, 8443);
    EXPECT_EQ(exported[0].interval, 10);  // the row shows 10 for the table's 7
    EXPECT_EQ(exported[2].port, 8080);

    EXPECT_EQ(targetTable.snapshot()[4].host, L"");
    EXPECT_EQ(targetTable.snapshot()[0].interval, 7);
    EXPECT_FALSE(pathExists(configFilePath()));
    EXPECT_TRUE(loggedLines.empty());
    EXPECT_EQ(takeRefreshes(), 0);
    EXPECT_EQ(text(hostEditBaseId + 4), L"127.0.0.5");
}

TEST_F(ConfigFilesTest, ExportAppendsXmlOnlyToANameWithoutExtension) {
    ScratchFolder folder;
    std::filesystem::create_directories(folder.path() / L"data.d");
    const std::wstring dotted = folder.file(L"data.d");
    for (const auto& [chosen, written] : {
             std::pair{dotted + L"\\backup", dotted + L"\\backup.xml"},
             {dotted + L"\\backup.cfg", dotted + L"\\backup.cfg"},
             {dotted + L"/slashed", dotted + L"/slashed.xml"},
         }) {
        fileAnswer = chosen;
        click(exportButtonId);
        EXPECT_EQ(readBytes(written), documentBytes(readBack(written))) << written;
    }
    EXPECT_FALSE(pathExists(dotted + L"\\backup"));
    EXPECT_FALSE(pathExists(dotted + L"\\slashed"));
    EXPECT_TRUE(prompts.empty());
}

TEST_F(ConfigFilesTest, ExportAsksBeforeReplacingTheFileWithTheAppendedName) {
    ScratchFolder folder;
    const std::wstring appended = folder.file(L"backup.xml");
    writeBytes(appended, "old");
    fileAnswer = folder.file(L"backup");

    promptAnswer = IDNO;
    click(exportButtonId);
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].text, appended + L" already exists.\nDo you want to replace it?");
    EXPECT_EQ(prompts[0].title, L"Config");
    EXPECT_EQ(prompts[0].flags & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(readBytes(appended), "old");

    promptAnswer = IDYES;
    click(exportButtonId);
    EXPECT_EQ(prompts.size(), 2u);
    EXPECT_EQ(readBack(appended)[2].host, L"127.0.0.2");

    // A name typed with its extension was the Save As dialog's own question.
    fileAnswer = appended;
    click(exportButtonId);
    EXPECT_EQ(prompts.size(), 2u);
}

TEST_F(ConfigFilesTest, ExportToAMissingFolderIsReported) {
    ScratchFolder folder;
    fileAnswer = folder.file(L"missing\\backup.xml");
    click(exportButtonId);
    expectError(L"Export failed.");
}

TEST_F(ConfigFilesTest, ImportTakesTheFileAsReadIntoTableConfigXmlAndRows) {
    ScratchFolder folder;
    std::vector<Target> imported(targetSlotCount);
    imported[5] = makeTarget(true, ProbeType::tcp, L"127.0.0.5", 0, 7);  // not validated
    imported[0] = makeTarget(true, ProbeType::icmp, L"127.0.0.1", 0, 60);
    const std::wstring file = folder.file(L"import.xml");
    ASSERT_TRUE(writeConfigFile(file, imported));
    for (std::size_t slot = 0; slot < targetSlotCount; ++slot) targetTable.recordResult(slot, 0, 5);
    SetWindowTextW(control(hostEditBaseId + 9), L"unsaved");
    fileAnswer = file;

    click(importButtonId);

    EXPECT_EQ(fileDialogs, std::vector<bool>{false});
    EXPECT_TRUE(prompts.empty());
    const std::vector<Target> table = targetTable.snapshot();
    EXPECT_EQ(table[5].host, L"127.0.0.5");
    EXPECT_EQ(table[5].interval, 7);
    EXPECT_EQ(table[2].host, L"");
    for (const Target& target : table) {
        EXPECT_TRUE(target.history.empty());
        EXPECT_EQ(target.nextDue, table[0].nextDue);
    }
    EXPECT_EQ(readBytes(configFilePath()), readBytes(file));
    EXPECT_EQ(text(portEditBaseId + 5), L"0");
    EXPECT_EQ(text(intervalComboBaseId + 5), L"10");
    EXPECT_EQ(text(intervalComboBaseId), L"60");
    EXPECT_EQ(text(hostEditBaseId + 9), L"");
    ASSERT_EQ(loggedLines.size(), 1u);
    EXPECT_TRUE(loggedLines[0].ends_with(L" | config imported"));
    EXPECT_EQ(takeRefreshes(), 1);
}

TEST_F(ConfigFilesTest, CancelledDialogsChangeNothing) {
    fileAnswer.reset();
    click(importButtonId);
    click(exportButtonId);
    EXPECT_EQ(fileDialogs, (std::vector<bool>{false, true}));
    EXPECT_TRUE(prompts.empty());
    EXPECT_EQ(targetTable.snapshot()[0].interval, 7);
    EXPECT_FALSE(pathExists(configFilePath()));
    EXPECT_TRUE(loggedLines.empty());
    EXPECT_EQ(takeRefreshes(), 0);
}

TEST_F(ConfigFilesTest, ImportRefusesFilesThatHoldNoConfiguration) {
    ScratchFolder folder;
    writeBytes(folder.file(L"empty.xml"), "");
    writeBytes(folder.file(L"hello.xml"), "hello <config><targets></targets></config>\r\n");
    writeBytes(folder.file(L"cut.xml"), "<config><targets><target><slot>1</slot><host>x");
    std::filesystem::create_directories(folder.path() / L"folder.xml");
    SetWindowTextW(control(hostEditBaseId + 9), L"unsaved");
    for (const wchar_t* name :
         {L"missing.xml", L"empty.xml", L"hello.xml", L"cut.xml", L"folder.xml"}) {
        prompts.clear();
        fileAnswer = folder.file(name);
        click(importButtonId);
        expectError(L"Import failed (invalid XML).");
        EXPECT_EQ(targetTable.snapshot()[2].host, L"127.0.0.2") << name;
    }
    EXPECT_EQ(text(hostEditBaseId + 9), L"unsaved");
    EXPECT_FALSE(pathExists(configFilePath()));
    EXPECT_TRUE(loggedLines.empty());
}

TEST_F(ConfigFilesTest, SaveAndImportTellWhenConfigXmlCannotBeWritten) {
    blockConfigFile();
    SetWindowTextW(control(hostEditBaseId + 9), L"127.0.0.10");
    click(saveButtonId);
    EXPECT_EQ(targetTable.snapshot()[9].host, L"127.0.0.10");  // in use all the same
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].title, L"Config");
    EXPECT_EQ(prompts[0].flags, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_NE(prompts[0].text.find(L"\"config.xml\" could not be written"), std::wstring::npos);
    EXPECT_NE(prompts[0].text.find(configFilePath()), std::wstring::npos);
    EXPECT_EQ(takeRefreshes(), 1);

    ScratchFolder folder;
    std::vector<Target> imported(targetSlotCount);
    imported[11].host = L"127.0.0.12";
    fileAnswer = folder.file(L"import.xml");
    ASSERT_TRUE(writeConfigFile(*fileAnswer, imported));
    click(importButtonId);
    EXPECT_EQ(targetTable.snapshot()[11].host, L"127.0.0.12");
    EXPECT_EQ(text(hostEditBaseId + 11), L"127.0.0.12");
    EXPECT_EQ(prompts.size(), 2u);
    EXPECT_EQ(takeRefreshes(), 1);

    ASSERT_EQ(loggedLines.size(), 2u);
    EXPECT_TRUE(loggedLines[0].ends_with(
        L" | config saved in memory only: config.xml could not be written"));
    EXPECT_TRUE(loggedLines[1].ends_with(
        L" | config imported in memory only: config.xml could not be written"));
}
