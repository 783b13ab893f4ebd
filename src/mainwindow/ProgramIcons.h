#pragma once
// The small icons of the viewers' programs, shown beside their items in the viewer menu.
// Loaded when a menu first needs them and kept in the resident instance until the viewers
// change: each program's image once, by the program's path, and which image each viewer shows,
// by title, so that a menu of known viewers reads neither the registry nor the file system. The
// shell and GDI are looked up at run time: a start that only hands its file over never loads them.

#include <windows.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "platform/Handles.h"

class ProgramIcons {
  public:
    ProgramIcons() = default;
    ProgramIcons(const ProgramIcons&) = delete;
    ProgramIcons& operator=(const ProgramIcons&) = delete;

    // The image of each viewer of `titles`, in that order: the icon of the program its command
    // starts, found as the launch finds it, as a 32-bit bitmap with alpha of `size` pixels
    // square (the small-icon size of the display); null for a viewer whose program cannot be
    // found or has no icon. What is not known yet is loaded: the commands of all viewers in one
    // read of the store, each program's icon once. The images live until Clear, or until images
    // of another size are asked for.
    std::vector<HBITMAP> ImagesOf(const std::vector<std::wstring>& titles, int size);

    // Forgets every image; the next menu loads them again. For when the viewers have changed.
    void Clear();

  private:
    HBITMAP ImageOfCommand(const std::wstring& command);

    int size = 0;
    std::unordered_map<std::wstring, HBITMAP> byTitle;        // null: no icon
    std::unordered_map<std::wstring, UniqueBitmap> byProgram; // the program's full path
};

// Shows `image` (from ProgramIcons) in the menu item that `item` describes. Where the system
// draws such images itself, with their alpha, it is the item's bitmap; elsewhere (Wine copies
// an item's bitmap as it is and inverts it when highlighted) the menu asks its owner to draw
// it, through MeasureItemImage and DrawItemImage. There a null image keeps an empty place of
// the same size, so that the item's text lines up with the texts beside images.
void SetItemImage(MENUITEMINFOA& item, HBITMAP image);

// The menu owner's WM_MEASUREITEM for an image (or empty place) of `size` pixels square that
// SetItemImage left to it: widened by a gap of a quarter of it (4 pixels at 96 DPI) that keeps
// the title off the image; false when the message is about something else.
bool MeasureItemImage(MEASUREITEMSTRUCT& measure, int size);

// The menu owner's WM_DRAWITEM for an image that SetItemImage left to it; false when the
// message is about something else.
bool DrawItemImage(const DRAWITEMSTRUCT& draw);
