// Faults across processes: a save killed at points spread over it, two processes logging.
#include <map>
#include <thread>

#include "config/config_store.h"
#include "config/document_changes.h"
#include "log/event_log.h"
#include "support/wine_gui.h"

// Started again with TARVEX_SAVE_LOOP set, this test saves its two tables in turn through the
// program's own store step until it is killed.
TEST(InterruptedSave, ConfigFileIsAlwaysTheOldOrTheNewWholeDocument) {
    std::vector<Target> tables[2] = {std::vector<Target>(targetSlotCount),
                                     std::vector<Target>(targetSlotCount)};
    tables[1][0].host = L"127.0.0.1";  // so a cut document is neither whole one
    const HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, L"TarvexSaveLoop");
    for (unsigned saves = 0; GetEnvironmentVariableW(L"TARVEX_SAVE_LOOP", nullptr, 0); ++saves) {
        placeAndStoreTable(tables[saves % 2]);
        SetEvent(ready);
    }
    removeDataFiles();
    std::string documents[2] = {defaultDocument(), defaultDocument()};
    documents[1].insert(documents[1].find("<host>") + 6, "127.0.0.1");  // slot 0's host
    int found[2] = {};
    for (int kill = 0; kill < 12; ++kill) {
        ResetEvent(ready);
        const HANDLE saver = startTestsAgain(L"InterruptedSave.*", L"TARVEX_SAVE_LOOP", L"1");
        ASSERT_EQ(WaitForSingleObject(ready, 10000), WAIT_OBJECT_0);
        // Spins rather than sleeps, so that the kills spread over the whole save.
        const auto end = std::chrono::steady_clock::now() + std::chrono::microseconds(2500 * kill);
        while (std::chrono::steady_clock::now() < end) continue;
        TerminateProcess(saver, 1);
        WaitForSingleObject(saver, INFINITE);
        const std::string bytes = readBytes(configFilePath());
        ASSERT_TRUE(bytes == documents[0] || bytes == documents[1]) << bytes;
        ++found[bytes == documents[1]];
    }
    EXPECT_GT(found[0], 0) << "kills that left the old document";
    EXPECT_GT(found[1], 0) << "kills that left the new document";
}

// Started again with TARVEX_LOG_WRITER set to a letter, this test appends 2,000 entries from
// each of two threads through the program's own logging code.
TEST(TwoWriters, EveryEntryLandsWholeOnceAndInItsThreadsOrder) {
    if (const wchar_t* tag = _wgetenv(L"TARVEX_LOG_WRITER")) {
        const auto write = [tag](wchar_t thread) {
            for (int n = 0; n < 2000; ++n)
                logEvent(tag[0] + (thread + (L"\t" + std::to_wstring(n))));
        };
        std::jthread second(write, L'1');
        return write(L'0');
    }
    removeDataFiles();
    const HANDLE writers[2] = {startTestsAgain(L"TwoWriters.*", L"TARVEX_LOG_WRITER", L"A"),
                               startTestsAgain(L"TwoWriters.*", L"TARVEX_LOG_WRITER", L"B")};
    ASSERT_EQ(WaitForMultipleObjects(2, writers, TRUE, 60000), WAIT_OBJECT_0);
    const std::string bytes = readBytes(logFilePath());
    std::map<std::string, int> next;  // per writing thread, the number of its next entry
    std::size_t at = 0;
    for (std::size_t end; (end = bytes.find("\r\r\n", at)) != bytes.npos; at = end + 3) {
        const std::string entry = bytes.substr(at, end - at), thread = entry.substr(22, 2);
        // The tab is written as "?".
        ASSERT_EQ(entry.substr(19), " | " + thread + "?" + std::to_string(next[thread]++));
    }
    EXPECT_EQ(at, bytes.size());  // nothing after the last whole entry
    EXPECT_EQ(next, decltype(next)({{"A0", 2000}, {"A1", 2000}, {"B0", 2000}, {"B1", 2000}}));
}
