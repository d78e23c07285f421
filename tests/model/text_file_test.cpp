#include "model/text_file.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include "model/scratch_files.h"

namespace fs = std::filesystem;
static fs::path target;                   // the file the test replaces
static std::vector<std::string> flushes;  // each: what (by 4 letters), its bytes | target's

// The real system call, watched; a flush of the text "lost" fails.
extern "C" int fsync(int fd) {
    const fs::path file = fs::read_symlink("/proc/self/fd/" + std::to_string(fd));
    const std::string bytes = fs::is_regular_file(file) ? readBytes(file) : "";
    flushes.push_back(file.lexically_relative(target.parent_path()).string().substr(0, 4) + " " +
                      bytes + "|" + readBytes(target));
    if (bytes == "lost") return -1;
    return reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"))(fd);
}

// One byte per character, text-mode line ends. A replacement is all or nothing, each write
// flushed before it replaces the file; no other file touched (not the operator's "<name>.tmp"),
// no temporary left. A killed save's temporary goes at start-up once it is over a minute old.
TEST(TextFile, OneBytePerCharacterReplacedWholeAfterAFlushAndLeftoversGoAfterAMinute) {
    const ScratchFolder scratch;
    target = scratch.file(L"backup.xml");
    const std::wstring path = target.wstring(), folder = scratch.file(L"folder.xml");
    writeBytes(path, "a much longer old content\r\n");
    ASSERT_TRUE(replaceTextFile(path, L"\u00e9\na\nb"));
    EXPECT_TRUE(appendTextWhole(path, L"1\n"));
    EXPECT_EQ(readBytes(path), "\xE9\r\na\r\nb1\r\n");
    writeBytes(path, "a\rb\r\r\nc\r\n\r\x1A-after");  // a lone CR stays, 0x1A ends the text
    EXPECT_EQ(tryReadTextFile(path), L"a\rb\r\nc\n\r");
    EXPECT_EQ(tryReadTextFile(path + L".missing"), std::nullopt);
    writeBytes(path, "");
    flushes.clear();
    writeBytes(path + L".tmp", "the operator's own");
    std::filesystem::create_directory(folder);
    ASSERT_TRUE(replaceTextFile(path, L"a\nb"));
    EXPECT_FALSE(replaceTextFile(path, L"lost"));     // a failed flush is a failed write
    EXPECT_FALSE(replaceTextFile(path, L"x\u0100"));  // a character the file cannot store
    EXPECT_FALSE(replaceTextFile(folder, L"new"));    // a folder is never replaced
    EXPECT_EQ(flushes, (std::vector<std::string>{"~tvx a\r\nb|", ". |a\r\nb", "~tvx lost|a\r\nb",
                                                 "~tvx new|a\r\nb"}));
    EXPECT_EQ(readBytes(path) + readBytes(path + L".tmp"), "a\r\nbthe operator's own");
    EXPECT_EQ(std::ranges::distance(std::filesystem::directory_iterator(scratch.path())), 3);
    const std::pair<std::wstring, int> leftovers[] = {{L"~tvx0a1f", 61}, {L"~tvx0a1e", 59},
                                                      {L"~tvx123", 61},  {L"~tvx12345", 61},
                                                      {L"~tvxZZZZ", 61}, {L"x~tvx1234", 61}};
    for (const auto& [name, age] : leftovers) {  // seconds since last written
        writeBytes(scratch.file(name), "");
        fs::last_write_time(scratch.file(name),
                            fs::file_time_type::clock::now() - std::chrono::seconds(age));
    }
    removeLeftoverTemporaries(scratch.path().wstring() + L"/");
    for (const auto& [name, age] : leftovers)  // only the one of a save's shape, 61 s old, goes
        EXPECT_EQ(fs::exists(scratch.file(name)), name != L"~tvx0a1f") << name;
}
