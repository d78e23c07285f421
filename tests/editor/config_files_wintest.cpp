#include "editor/editor_fixture.h"

namespace {

using ConfigFilesTest = EditorTest;

std::wstring configError(const std::wstring& text) {
    return promptText(L"Config", MB_OK | MB_ICONERROR, text);
}

// The table as the rows show it: the hand-edited interval 7 as "10", no port on an icmp row.
std::vector<Target> rowsAsShown() {
    std::vector<Target> rows = targetTable.snapshot();
    rows[0].interval = 10;
    rows[1].port = 0;
    return rows;
}

// A file holding `targets` to be imported through the (answered) Open dialog.
void offerForImport(const ScratchFolder& folder, const std::vector<Target>& targets) {
    fileAnswer = folder.file(L"import.xml");
    ASSERT_TRUE(writeConfigFile(*fileAnswer, targets));
}

}  // namespace

TEST_F(ConfigFilesTest, ExportWritesTheRowsAsEditedUnderTheChosenNameAndChangesNothingElse) {
    const ScratchFolder folder;
    const std::wstring dotted = folder.file(L"data.d");
    std::filesystem::create_directories(dotted);
    editRow(4, true, true, L"127.0.0.5", L"8443");
    std::vector<Target> rows = rowsAsShown();
    rows[4] = {true, ProbeType::tcp, L"127.0.0.5", 8443, 10, {}, 0};
    for (const auto& [chosen, written] : {
             std::pair{dotted + L"\\backup", dotted + L"\\backup.xml"},
             {dotted + L"\\backup.cfg", dotted + L"\\backup.cfg"},
             {dotted + L"/slashed", dotted + L"/slashed.xml"},
         }) {
        fileAnswer = chosen;
        click(exportButtonId);
        EXPECT_EQ(readTextFile(written), configDocumentText(rows)) << written;
    }
    EXPECT_FALSE(pathExists(dotted + L"\\backup"));
    EXPECT_FALSE(pathExists(dotted + L"\\slashed"));
    EXPECT_EQ(fileDialogs, std::vector<bool>(3, true));
    EXPECT_TRUE(prompts.empty());

    fileAnswer = folder.file(L"missing\\backup.xml");
    click(exportButtonId);
    EXPECT_EQ(prompts, std::vector{configError(L"Export failed.")});

    EXPECT_EQ(slot(4), L"on icmp :0/10");
    EXPECT_EQ(slot(0), L"off tcp 127.0.0.1:0/7");
    EXPECT_FALSE(pathExists(configFilePath()));
    EXPECT_TRUE(loggedEvents.empty());
    EXPECT_EQ(takeRefreshes(), 0);
    EXPECT_EQ(row(4), L"on tcp 127.0.0.5 [8443] 10");
}

TEST_F(ConfigFilesTest, ExportAsksBeforeReplacingTheFileWithTheAppendedName) {
    const ScratchFolder folder;
    const std::wstring appended = folder.file(L"backup.xml");
    writeBytes(appended, "old");
    fileAnswer = folder.file(L"backup");
    promptAnswer = IDNO;
    click(exportButtonId);
    EXPECT_EQ(readBytes(appended), "old");
    promptAnswer = IDYES;
    click(exportButtonId);
    EXPECT_EQ(readTextFile(appended), configDocumentText(rowsAsShown()));
    // A name typed with its extension was the Save As dialog's own question.
    fileAnswer = appended;
    click(exportButtonId);
    const std::wstring question =
        promptText(L"Config", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2,
                   appended + L" already exists.\nDo you want to replace it?");
    EXPECT_EQ(prompts, (std::vector{question, question}));
}

TEST_F(ConfigFilesTest, ImportTakesTheFileAsReadIntoTableConfigXmlAndRows) {
    const ScratchFolder folder;
    std::vector<Target> imported(targetSlotCount);
    imported[5] = {true, ProbeType::tcp, L"127.0.0.5", 0, 7, {}, 0};  // not validated
    imported[0] = {true, ProbeType::icmp, L"127.0.0.1", 0, 60, {}, 0};
    offerForImport(folder, imported);
    for (std::size_t index = 0; index < targetSlotCount; ++index) {
        targetTable.recordResult(index, 0, 5);
    }
    SetWindowTextW(control(hostEditBaseId + 9), L"unsaved");
    click(importButtonId);

    EXPECT_EQ(fileDialogs, std::vector<bool>{false});
    EXPECT_TRUE(prompts.empty());
    const std::vector<Target> table = targetTable.snapshot();
    EXPECT_TRUE(allResetTogether(table));
    EXPECT_EQ(describe(table[5]), L"on tcp 127.0.0.5:0/7");
    EXPECT_EQ(describe(table[2]), L"on icmp :0/10");
    EXPECT_EQ(readBytes(configFilePath()), readBytes(*fileAnswer));
    EXPECT_EQ(row(5), L"on tcp 127.0.0.5 [0] 10");
    EXPECT_EQ(row(0), L"on icmp 127.0.0.1 - 60");
    EXPECT_EQ(row(9), L"on icmp  - 10");
    EXPECT_EQ(loggedEvents, std::vector<std::wstring>{L" | config imported"});
    EXPECT_EQ(takeRefreshes(), 1);
}

TEST_F(ConfigFilesTest, ImportRefusesFilesThatHoldNoConfigurationAndCancelChangesNothing) {
    const ScratchFolder folder;
    writeBytes(folder.file(L"empty.xml"), "");
    writeBytes(folder.file(L"hello.xml"), "hello <config><targets></targets></config>\r\n");
    writeBytes(folder.file(L"cut.xml"), "<config><targets><target><slot>1</slot><host>x");
    std::filesystem::create_directories(folder.path() / L"folder.xml");
    SetWindowTextW(control(hostEditBaseId + 9), L"unsaved");
    for (const wchar_t* name :
         {L"missing.xml", L"empty.xml", L"hello.xml", L"cut.xml", L"folder.xml"}) {
        fileAnswer = folder.file(name);
        click(importButtonId);
    }
    fileAnswer.reset();  // cancelled
    click(importButtonId);
    click(exportButtonId);

    EXPECT_EQ(prompts, std::vector(5, configError(L"Import failed (invalid XML).")));
    EXPECT_EQ(fileDialogs, (std::vector<bool>{false, false, false, false, false, false, true}));
    EXPECT_EQ(slot(0), L"off tcp 127.0.0.1:0/7");
    EXPECT_EQ(slot(2), L"on tcp 127.0.0.2:8080/120");
    EXPECT_EQ(text(hostEditBaseId + 9), L"unsaved");
    EXPECT_FALSE(pathExists(configFilePath()));
    EXPECT_TRUE(loggedEvents.empty());
    EXPECT_EQ(takeRefreshes(), 0);
}

TEST_F(ConfigFilesTest, SaveAndImportTellWhenConfigXmlCannotBeWritten) {
    std::filesystem::create_directories(std::filesystem::path(configFilePath()));  // in the way
    SetWindowTextW(control(hostEditBaseId + 9), L"127.0.0.10");
    click(saveButtonId);
    EXPECT_EQ(slot(9), L"on icmp 127.0.0.10:0/10");  // in use all the same
    EXPECT_EQ(takeRefreshes(), 1);

    const ScratchFolder folder;
    std::vector<Target> imported(targetSlotCount);
    imported[11].host = L"127.0.0.12";
    offerForImport(folder, imported);
    click(importButtonId);
    EXPECT_EQ(slot(11), L"on icmp 127.0.0.12:0/10");
    EXPECT_EQ(row(11), L"on icmp 127.0.0.12 - 10");
    EXPECT_EQ(takeRefreshes(), 1);

    const std::wstring notWritten = configError(
        L"\"config.xml\" could not be written:\n" + configFilePath() +
        L"\n\nThe new settings are in use, but they will be lost when Tarvex ends unless they "
        L"are saved again.");
    EXPECT_EQ(prompts, (std::vector{notWritten, notWritten}));
    EXPECT_EQ(loggedEvents,
              (std::vector<std::wstring>{
                  L" | config saved in memory only: config.xml could not be written",
                  L" | config imported in memory only: config.xml could not be written"}));
}
