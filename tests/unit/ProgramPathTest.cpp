#include "core/ProgramPath.h"

#include "Cp932.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// Byte escapes rather than literals: the Windows build re-encodes string literals to CP932.
// "\x95\x5C" is 表, whose second byte is a backslash.
const std::string hyou = "\x95\x5C";

// The files of a test's file system. Like Windows, it ignores trailing spaces and dots of a
// name, so "view.exe " names view.exe.
FileExistsPredicate Files(std::set<std::string> files) {
    return [files](const std::string& path) {
        return files.count(path.substr(0, path.find_last_not_of(" .") + 1)) != 0;
    };
}

std::string Quote(std::string_view command, const FileExistsPredicate& isFile) {
    return QuoteProgramPart(command, IsCp932LeadByte, isFile);
}

TEST(QuoteProgramPart, QuotesTheLongestPartThatNamesAFileAndKeepsTheRestAsTyped) {
    const auto isFile = Files({"C:\\Program.exe", "C:\\Program Files\\Viewer\\view.exe"});
    EXPECT_EQ("\"C:\\Program Files\\Viewer\\view.exe\"",
              Quote("C:\\Program Files\\Viewer\\view.exe", isFile));
    EXPECT_EQ("\"C:\\Program Files\\Viewer\\view.exe\" /x  %1 \"a b\"",
              Quote("C:\\Program Files\\Viewer\\view.exe /x  %1 \"a b\"", isFile));
    // Only a shorter part exists: that is what the system would start, and is quoted.
    EXPECT_EQ("\"C:\\Program\" Files\\Viewer\\gone.exe",
              Quote("C:\\Program Files\\Viewer\\gone.exe", isFile));
}

TEST(QuoteProgramPart, AppendsExeOnlyWhenTheLastComponentHasNoDot) {
    const auto isFile = Files({"C:\\My Tools\\view.exe", "C:\\my.tools\\a b\\run.exe",
                               "C:\\My Tools\\old.com", "C:\\My Tools\\a." + hyou});
    EXPECT_EQ("\"C:\\My Tools\\view\" -a", Quote("C:\\My Tools\\view -a", isFile));
    EXPECT_EQ("\"C:\\my.tools\\a b\\run\"", Quote("C:\\my.tools\\a b\\run", isFile));
    EXPECT_EQ("\"C:\\My Tools\\old.com\" -a", Quote("C:\\My Tools\\old.com -a", isFile));
    // a.表 has an extension: the 0x5C of 表 does not start a component of its own.
    EXPECT_EQ("\"C:\\My Tools\\a." + hyou + "\" -a",
              Quote("C:\\My Tools\\a." + hyou + " -a", isFile));
}

TEST(QuoteProgramPart, SpacesAfterTheProgramStayOutsideTheQuotes) {
    const auto isFile = Files({"C:\\Program Files\\Viewer\\view.exe"});
    EXPECT_EQ("\"C:\\Program Files\\Viewer\\view.exe\" ",
              Quote("C:\\Program Files\\Viewer\\view.exe ", isFile));
    EXPECT_EQ("\"C:\\Program Files\\Viewer\\view.exe\"  -a",
              Quote("C:\\Program Files\\Viewer\\view.exe  -a", isFile));
}

TEST(QuoteProgramPart, LeavesQuotedSpacelessAndUnfoundCommandsAsTheyAre) {
    const auto isFile =
        Files({"C:\\Program.exe", "C:\\Program Files\\Viewer\\view.exe", "C:\\tools\\view.exe"});
    for (const std::string command :
         {"\"C:\\Program Files\\Viewer\\view.exe\" -a", "\"C:\\Program Files\\Viewer\\view.exe",
          "C:\\tools\\view.exe", "C:\\tools\\view.exe\t-a", "", "C:\\No Such\\view.exe -a"})
        EXPECT_EQ(command, Quote(command, isFile));
}

TEST(ProgramOfCommand, IsTheProgramTheLaunchStarts) {
    const auto isFile = Files({"C:\\Program Files\\Viewer\\view.exe", "C:\\" + hyou + " x\\v.exe"});
    auto program = [&](std::string_view command) {
        return ProgramOfCommand(command, IsCp932LeadByte, isFile);
    };
    EXPECT_EQ("C:\\Program Files\\Viewer\\view.exe",
              program("\"C:\\Program Files\\Viewer\\view.exe\" -a \"b c\""));
    EXPECT_EQ("C:\\Program Files\\Viewer\\view.exe",
              program("\"C:\\Program Files\\Viewer\\view.exe"));
    // Unquoted with spaces: the part that exists, however the rest goes on.
    EXPECT_EQ("C:\\Program Files\\Viewer\\view.exe",
              program("C:\\Program Files\\Viewer\\view.exe /x \"a b\""));
    EXPECT_EQ("C:\\" + hyou + " x\\v", program("C:\\" + hyou + " x\\v -a"));
    // Nothing exists, or no spaces: the first word, for the system to search.
    EXPECT_EQ("notepad.exe", program("notepad.exe /p"));
    EXPECT_EQ("notepad", program("notepad\t/p"));
    EXPECT_EQ("C:\\No", program("C:\\No Such\\view.exe -a"));
    EXPECT_EQ("", program(""));
    EXPECT_EQ("", program("\"\" -a"));
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
