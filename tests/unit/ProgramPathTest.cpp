#include "core/ProgramPath.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// 表, whose second byte in code page 932 is a backslash.
const std::wstring hyou = L"\u8868";

// The files of a test's file system. Like Windows, it ignores trailing spaces and dots of a
// name, so "view.exe " names view.exe.
FileExistsPredicate Files(std::set<std::wstring> files) {
    return [files](const std::wstring& path) {
        return files.count(path.substr(0, path.find_last_not_of(L" .") + 1)) != 0;
    };
}

std::wstring Quote(std::wstring_view command, const FileExistsPredicate& isFile) {
    return QuoteProgramPart(command, isFile);
}

TEST(QuoteProgramPart, QuotesTheLongestPartThatNamesAFileAndKeepsTheRestAsTyped) {
    const auto isFile = Files({L"C:\\Program.exe", L"C:\\Program Files\\Viewer\\view.exe"});
    EXPECT_EQ(L"\"C:\\Program Files\\Viewer\\view.exe\"",
              Quote(L"C:\\Program Files\\Viewer\\view.exe", isFile));
    EXPECT_EQ(L"\"C:\\Program Files\\Viewer\\view.exe\" /x  %1 \"a b\"",
              Quote(L"C:\\Program Files\\Viewer\\view.exe /x  %1 \"a b\"", isFile));
    // Only a shorter part exists: that is what the system would start, and is quoted.
    EXPECT_EQ(L"\"C:\\Program\" Files\\Viewer\\gone.exe",
              Quote(L"C:\\Program Files\\Viewer\\gone.exe", isFile));
}

TEST(QuoteProgramPart, AppendsExeOnlyWhenTheLastComponentHasNoDot) {
    const auto isFile = Files({L"C:\\My Tools\\view.exe", L"C:\\my.tools\\a b\\run.exe",
                               L"C:\\My Tools\\old.com", L"C:\\My Tools\\a." + hyou});
    EXPECT_EQ(L"\"C:\\My Tools\\view\" -a", Quote(L"C:\\My Tools\\view -a", isFile));
    EXPECT_EQ(L"\"C:\\my.tools\\a b\\run\"", Quote(L"C:\\my.tools\\a b\\run", isFile));
    EXPECT_EQ(L"\"C:\\My Tools\\old.com\" -a", Quote(L"C:\\My Tools\\old.com -a", isFile));
    // a.表 has an extension: the 0x5C of 表 does not start a component of its own.
    EXPECT_EQ(L"\"C:\\My Tools\\a." + hyou + L"\" -a",
              Quote(L"C:\\My Tools\\a." + hyou + L" -a", isFile));
}

TEST(QuoteProgramPart, SpacesAfterTheProgramStayOutsideTheQuotes) {
    const auto isFile = Files({L"C:\\Program Files\\Viewer\\view.exe"});
    EXPECT_EQ(L"\"C:\\Program Files\\Viewer\\view.exe\" ",
              Quote(L"C:\\Program Files\\Viewer\\view.exe ", isFile));
    EXPECT_EQ(L"\"C:\\Program Files\\Viewer\\view.exe\"  -a",
              Quote(L"C:\\Program Files\\Viewer\\view.exe  -a", isFile));
}

TEST(QuoteProgramPart, LeavesQuotedSpacelessAndUnfoundCommandsAsTheyAre) {
    const auto isFile =
        Files({L"C:\\Program.exe", L"C:\\Program Files\\Viewer\\view.exe", L"C:\\tools\\view.exe"});
    for (const std::wstring command :
         {L"\"C:\\Program Files\\Viewer\\view.exe\" -a", L"\"C:\\Program Files\\Viewer\\view.exe",
          L"C:\\tools\\view.exe", L"C:\\tools\\view.exe\t-a", L"", L"C:\\No Such\\view.exe -a"})
        EXPECT_EQ(command, Quote(command, isFile));
}

TEST(ProgramOfCommand, IsTheProgramTheLaunchStarts) {
    const auto isFile =
        Files({L"C:\\Program Files\\Viewer\\view.exe", L"C:\\" + hyou + L" x\\v.exe"});
    auto program = [&](std::wstring_view command) { return ProgramOfCommand(command, isFile); };
    EXPECT_EQ(L"C:\\Program Files\\Viewer\\view.exe",
              program(L"\"C:\\Program Files\\Viewer\\view.exe\" -a \"b c\""));
    EXPECT_EQ(L"C:\\Program Files\\Viewer\\view.exe",
              program(L"\"C:\\Program Files\\Viewer\\view.exe"));
    // Unquoted with spaces: the part that exists, however the rest goes on.
    EXPECT_EQ(L"C:\\Program Files\\Viewer\\view.exe",
              program(L"C:\\Program Files\\Viewer\\view.exe /x \"a b\""));
    EXPECT_EQ(L"C:\\" + hyou + L" x\\v", program(L"C:\\" + hyou + L" x\\v -a"));
    // Nothing exists, or no spaces: the first word, for the system to search.
    EXPECT_EQ(L"notepad.exe", program(L"notepad.exe /p"));
    EXPECT_EQ(L"notepad", program(L"notepad\t/p"));
    EXPECT_EQ(L"C:\\No", program(L"C:\\No Such\\view.exe -a"));
    EXPECT_EQ(L"", program(L""));
    EXPECT_EQ(L"", program(L"\"\" -a"));
}

TEST(FolderOfPath, IsTheFolderOfAnAbsolutePath) {
    EXPECT_EQ(L"C:\\mail\\", FolderOfPath(L"C:\\mail\\12.txt "));
    EXPECT_EQ(L"c:\\", FolderOfPath(L"c:\\12.txt "));
    EXPECT_EQ(L"\\\\server\\share\\", FolderOfPath(L"\\\\server\\share\\12.txt "));
    EXPECT_EQ(L"C:\\\u8868\\", FolderOfPath(L"C:\\\u8868\\\u00E9.txt "));

    for (const wchar_t* relative :
         {L"12.txt ", L"mail\\12.txt ", L"\\mail\\12.txt ", L"C:mail\\12.txt ",
          L"\\\\?\\C:\\mail\\12.txt ", L"\\\\.\\C:\\12.txt ", L""})
        EXPECT_EQ(L"", FolderOfPath(relative));
}

} // namespace
