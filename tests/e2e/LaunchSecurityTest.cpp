// The resident instance starts the program a viewer names and no other: not a notepad.exe
// planted in the folder it was first started in or in the mail file's folder, not
// C:\Program.exe for a command typed as C:\Program Files\... without quotes. Planted programs
// are copies of the fake viewer, which log beside themselves; every planted file and folder is
// removed after the test.

#include "E2eSupport.h"

using namespace e2e;

namespace {

using Records = std::vector<std::string>;

std::string TempFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = GetTempPathA(sizeof path, path);
    return length > 0 && length < sizeof path ? std::string(path, length) : "C:\\";
}

std::string SystemFolder() {
    char path[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(path, sizeof path);
    return length > 0 && length < sizeof path ? std::string(path, length) : "";
}

// Ends the process that owns `window`: closed as the user would, terminated if it lingers.
void EndOwnerOf(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
    ASSERT_NE(nullptr, process);
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process, waitLimitMs) != WAIT_OBJECT_0) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, waitLimitMs);
    }
    CloseHandle(process);
}

class LaunchSecurityTest : public BrindleTest {
  protected:
    void TearDown() override {
        BrindleTest::TearDown();
        // A planted viewer may still be running for a moment: its file goes once it has ended.
        for (auto path = planted.rbegin(); path != planted.rend(); ++path) {
            EXPECT_TRUE(WaitUntil([&] {
                const DWORD attributes = GetFileAttributesA(path->c_str());
                if (attributes == INVALID_FILE_ATTRIBUTES)
                    return true;
                if (attributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveDirectoryA(path->c_str());
                else
                    DeleteFileA(path->c_str());
                return false;
            })) << "cannot remove "
                << *path;
        }
    }

    void MakeFolder(const std::string& path) {
        ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
        planted.push_back(path);
    }

    void MakeFile(const std::string& path) {
        planted.push_back(path);
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
        CloseHandle(file);
    }

    // A copy of the fake viewer at `path`; its logs are removed with it.
    void PlantViewer(const std::string& path) {
        planted.push_back(path);
        planted.push_back(FolderOf(path) + viewerLogName);
        planted.push_back(FolderOf(path) + viewerDirLogName);
        planted.push_back(FolderOf(path) + viewerWideLogName);
        ASSERT_TRUE(CopyFileA(fakeViewerPath.c_str(), path.c_str(), TRUE)) << path;
    }

    std::vector<std::string> planted; // removed after the test, the last made first
};

TEST_F(LaunchSecurityTest, BareNameRunsTheSystemsProgramNotOneInTheStartOrMailFolder) {
    const std::string attachments = TempFolder() + "brindle-attachments";
    const std::string mailFile = attachments + "\\12.txt";
    ASSERT_NO_FATAL_FAILURE(MakeFolder(attachments));
    ASSERT_NO_FATAL_FAILURE(PlantViewer(attachments + "\\notepad.exe"));
    ASSERT_NO_FATAL_FAILURE(MakeFile(mailFile));
    SeedViewers({{"Notepad", "notepad.exe", ""}});

    // The mail client's first start, in the folder of the attachment it opens.
    Process& first = Start('"' + mailFile + '"', attachments.c_str());
    HWND notepad = nullptr;
    EXPECT_TRUE(PickMenusUntil(first.Id(), 0, [&] {
        return (notepad = FindWindowA("Notepad", nullptr)) != nullptr;
    })) << "the system's notepad did not start";
    if (notepad)
        EndOwnerOf(notepad);
    EXPECT_EQ(Records{}, ViewerLog(FolderOf(mailFile) + viewerLogName))
        << "the planted notepad.exe ran";
}

TEST_F(LaunchSecurityTest, UnquotedCommandWithSpacesRunsTheProgramItNames) {
    const std::string viewer = "C:\\Program Files\\Viewer\\view.exe";
    const std::string mail = TempFolder() + "brindle-mail";
    ASSERT_NO_FATAL_FAILURE(PlantViewer("C:\\Program.exe"));
    ASSERT_NO_FATAL_FAILURE(MakeFolder(FolderOf(viewer).erase(FolderOf(viewer).size() - 1)));
    ASSERT_NO_FATAL_FAILURE(PlantViewer(viewer));
    ASSERT_NO_FATAL_FAILURE(MakeFolder(mail));
    ASSERT_NO_FATAL_FAILURE(MakeFolder(mail + "\\Viewer 2.0"));
    // Typed as it is, parameters in the command included; the second names a folder.
    SeedViewers({{"Typed", viewer + " -a  %1", "/p"}, {"Folder", mail + "\\Viewer 2.0", ""}});
    Process* resident = nullptr;
    ASSERT_NE(nullptr, StartResident(&resident));

    // A mail file in an existing folder, then one whose folder does not exist.
    HandOverAndPick(resident->Id(), '"' + mail + "\\12.txt\"", 0);
    HandOverAndPick(resident->Id(), "C:\\no-such-mail\\13.txt", 0);
    const std::string tail = " -a  %1 /p \"";
    EXPECT_EQ((Records{'"' + viewer + '"' + tail + mail + "\\12.txt \"",
                       '"' + viewer + '"' + tail + "C:\\no-such-mail\\13.txt \""}),
              WaitForViewerLog(2, FolderOf(viewer) + viewerLogName));
    // The viewer works in the mail file's folder, else in the resident instance's.
    EXPECT_EQ((Records{mail, SystemFolder()}), ViewerLog(FolderOf(viewer) + viewerDirLogName));

    // A folder is not a program: the command is started as typed, and fails as before.
    HandOverAndPick(resident->Id(), "C:\\mail\\14.txt", 1);
    ASSERT_NO_FATAL_FAILURE(ExpectMessage(
        resident->Id(), mail + "\\Viewer 2.0  \"C:\\mail\\14.txt \" の起動に失敗しました"));
    EXPECT_EQ(Records{}, ViewerLog(std::string("C:\\") + viewerLogName)) << "C:\\Program.exe ran";
}

} // namespace
