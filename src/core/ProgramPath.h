#pragma once
// Where a viewer's program and its working folder are, settled by Brindle itself: a command typed
// without quotes around a path with spaces names its program by the longest part that exists,
// and a started viewer works in the folder of the mail file it opens.

#include <functional>
#include <string>
#include <string_view>

// Tells whether `path` names an existing file; a folder does not count.
using FileExistsPredicate = std::function<bool(const std::wstring& path)>;

// `command` with its program part in double quotes, so that the system starts that program and
// no shorter one (C:\Program.exe for C:\Program Files\...). Only an unquoted command with a
// space is looked at: its program part is the longest leading part that ends before a space or
// at the end, does not itself end in a space, and names an existing file per isFile, with ".exe"
// appended when its last path component has no '.'. The part is quoted as typed and the rest
// follows unchanged. A quoted command, one without spaces and one whose parts name no file come
// back unchanged.
std::wstring QuoteProgramPart(std::wstring_view command, const FileExistsPredicate& isFile);

// The program that a launch with `command` starts, as typed, for the system to search: the text
// inside the leading double quotes of a quoted command (to its end when the quote is not
// closed); for an unquoted command, the part that QuoteProgramPart quotes, or else everything
// before the first space or tab. Empty when the command names no program.
std::wstring ProgramOfCommand(std::wstring_view command, const FileExistsPredicate& isFile);

// The program of a command that starts with a double quote: the text inside that quote and
// the next one (to the end when it is not closed). A command without a leading quote comes
// back whole.
std::wstring_view QuotedProgramOf(std::wstring_view command);

// The command that starts program `path` and nothing else: the path, in double quotes when it
// has a space (unquoted, the part before the space would be taken for the program).
std::wstring CommandOfProgram(std::wstring_view path);

// The folder of the file that an absolute `path` names: `path` up to and with its last
// backslash. Absolute is a drive ("C:\") or a server ("\\server\share\"); "" for any other
// path.
std::wstring FolderOfPath(std::wstring_view path);
