// The viewer menu's items with the icons of their viewers' programs, as the resident instance
// builds them from the store: which items get an image, what the image is, and when the
// images are loaded again.

#include <string>
#include <vector>

#include "mainwindow/ProgramIcons.h"
#include "mainwindow/ViewerMenu.h"
#include "support/DialogDriver.h"
#include "support/Registry.h"

using namespace testsupport;

namespace {

// The image that menu item `position` shows, however it was attached: as the item's bitmap,
// or (where the owner draws it) as the item's data.
HBITMAP ImageOfItem(HMENU menu, UINT position) {
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_BITMAP | MIIM_DATA;
    if (!GetMenuItemInfoA(menu, position, TRUE, &item))
        return nullptr;
    return item.hbmpItem == HBMMENU_CALLBACK ? reinterpret_cast<HBITMAP>(item.dwItemData)
                                             : item.hbmpItem;
}

std::string ItemText(HMENU menu, UINT position) {
    char text[256] = {};
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

// The small-icon size of the display, as the main dialog asks for it.
const int smallIcon = GetSystemMetrics(SM_CXSMICON);

std::string ThisProgram() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    return length > 0 && length < sizeof path ? std::string(path, length) : std::string();
}

class ViewerMenuTest : public DialogTest {
  protected:
    void SetUp() override {
        DialogTest::SetUp();
        char temp[MAX_PATH] = {};
        ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
        folder = std::string(temp) + "brindle menu test";
        CreateDirectoryA(folder.c_str(), nullptr);
        // This program carries Brindle's icon; a copy of it in a folder with a space is a
        // program that only an unquoted command's longest existing part names.
        copy = folder + "\\own viewer.exe";
        ASSERT_TRUE(CopyFileA(own.c_str(), copy.c_str(), FALSE));
    }
    void TearDown() override {
        DeleteFileA(copy.c_str());
        RemoveDirectoryA(folder.c_str());
        DialogTest::TearDown();
    }

    const std::string own = ThisProgram();
    std::string folder;
    std::string copy;
};

TEST_F(ViewerMenuTest, ItemsShowTheIconOfAProgramThatExistsAndNoneForAMissingOne) {
    ASSERT_TRUE(StoreViewers({{"Quoted", '"' + own + "\" /q", ""},
                              {"Same program", '"' + own + '"', "-x"},
                              {"Unquoted", copy + " /u", ""},
                              {"Searched", "notepad", "/p"},
                              {"Missing", "C:\\no\\such\\viewer.exe", "/x"},
                              {"Missing too", "nosuchviewer /x", ""}}));
    ProgramIcons icons;
    const std::vector<std::wstring> titles = ViewerStore().Titles();
    const std::vector<HBITMAP> images = icons.ImagesOf(titles, smallIcon);
    ASSERT_EQ(6u, images.size());
    for (int i : {0, 2, 3})
        EXPECT_NE(nullptr, images[i]) << i;
    // Loaded once for each program.
    EXPECT_EQ(images[0], images[1]);
    EXPECT_NE(images[0], images[2]);
    EXPECT_EQ(nullptr, images[4]);
    EXPECT_EQ(nullptr, images[5]);

    // A 32-bit bitmap of the small-icon size whose colours are premultiplied by its alpha,
    // which is not the same everywhere (the icon has a shape).
    BITMAP bitmap{};
    ASSERT_TRUE(GetObjectA(images[0], sizeof bitmap, &bitmap));
    EXPECT_EQ(32, bitmap.bmBitsPixel);
    EXPECT_EQ(smallIcon, bitmap.bmWidth);
    EXPECT_EQ(smallIcon, bitmap.bmHeight);
    ASSERT_NE(nullptr, bitmap.bmBits);
    const auto* pixels = static_cast<const BYTE*>(bitmap.bmBits);
    bool transparent = false, opaque = false, premultiplied = true;
    for (LONG i = 0; i < bitmap.bmWidth * bitmap.bmHeight; ++i) {
        const BYTE* pixel = pixels + 4 * i;
        transparent |= pixel[3] == 0;
        opaque |= pixel[3] == 255;
        premultiplied &= pixel[0] <= pixel[3] && pixel[1] <= pixel[3] && pixel[2] <= pixel[3];
    }
    EXPECT_TRUE(transparent && opaque && premultiplied);

    const ViewerMenu menu(titles, images);
    ASSERT_EQ(6, GetMenuItemCount(menu.Handle()));
    for (UINT i = 0; i < 6; ++i)
        EXPECT_EQ(images[i], ImageOfItem(menu.Handle(), i)) << i;
    EXPECT_EQ("Quoted\t1", ItemText(menu.Handle(), 0));
    EXPECT_EQ("Missing too\t6", ItemText(menu.Handle(), 5));
}

TEST_F(ViewerMenuTest, ImagesAreKeptUntilCleared) {
    ASSERT_TRUE(
        StoreViewers({{"Viewer", '"' + own + '"', ""}, {"Other", "C:\\no\\such\\viewer.exe", ""}}));
    ProgramIcons icons;
    const std::vector<HBITMAP> first = icons.ImagesOf({L"Viewer", L"Other"}, smallIcon);
    ASSERT_NE(nullptr, first[0]);
    EXPECT_EQ(nullptr, first[1]);

    // Known viewers read nothing more: a change of the store shows after Clear only.
    ASSERT_TRUE(StoreViewers(
        {{"Viewer", "C:\\no\\such\\viewer.exe", ""}, {"Other", '"' + copy + '"', ""}}));
    EXPECT_EQ(first, icons.ImagesOf({L"Viewer", L"Other"}, smallIcon));
    // A new title is looked up, and one the store does not know shows none.
    const std::vector<HBITMAP> added = icons.ImagesOf({L"Viewer", L"Added", L"Other"}, smallIcon);
    EXPECT_EQ((std::vector<HBITMAP>{first[0], nullptr, nullptr}), added);

    icons.Clear();
    const std::vector<HBITMAP> again = icons.ImagesOf({L"Viewer", L"Other"}, smallIcon);
    EXPECT_EQ(nullptr, again[0]);
    EXPECT_NE(nullptr, again[1]);

    // A display of another resolution: the images are made again at its size.
    const int larger = smallIcon * 3 / 2;
    const std::vector<HBITMAP> scaled = icons.ImagesOf({L"Viewer", L"Other"}, larger);
    BITMAP bitmap{};
    ASSERT_NE(nullptr, scaled[1]);
    ASSERT_TRUE(GetObjectA(scaled[1], sizeof bitmap, &bitmap));
    EXPECT_EQ(larger, bitmap.bmWidth);
    EXPECT_EQ(larger, bitmap.bmHeight);

    // A menu without any image has none in any item.
    const ViewerMenu plain({L"A", L"B"}, std::vector<HBITMAP>{nullptr, nullptr});
    for (UINT i = 0; i < 2; ++i)
        EXPECT_EQ(nullptr, ImageOfItem(plain.Handle(), i));
}

} // namespace
