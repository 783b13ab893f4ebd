#include "mainwindow/ViewerMenu.h"

#include <algorithm>

#include "core/MenuKeys.h"
#include "core/MenuText.h"
#include "mainwindow/ProgramIcons.h"

ViewerMenu::ViewerMenu(std::vector<std::wstring> shownTitles, std::span<const HBITMAP> images,
                       int imageSize)
    : imageSize(imageSize), titles(std::move(shownTitles)) {
    const size_t count = std::min<size_t>(titles.size(), ID_VIEWER_LAST - ID_VIEWER_BASE + 1);
    titles.resize(count);
    const bool anyImage =
        std::any_of(images.begin(), images.end(), [](HBITMAP image) { return image; });
    for (size_t i = 0; i < count; ++i) {
        const int number = i < numberedItems ? static_cast<int>(i) + 1 : 0;
        menu.AppendItem(ID_VIEWER_BASE + static_cast<UINT>(i), MenuItemText(titles[i], number));
        // A system that knows no item images keeps the item without one.
        if (anyImage) {
            MENUITEMINFOA item{};
            item.cbSize = sizeof item;
            SetItemImage(item, i < images.size() ? images[i] : nullptr);
            if (item.fMask)
                SetMenuItemInfoA(menu.Handle(), static_cast<UINT>(i), TRUE, &item);
        }
    }
}

const std::wstring* ViewerMenu::TitleOf(UINT id) const {
    if (id < ID_VIEWER_BASE || id - ID_VIEWER_BASE >= titles.size())
        return nullptr;
    return &titles[id - ID_VIEWER_BASE];
}

bool ViewerMenu::MeasureItem(MEASUREITEMSTRUCT& measure) const {
    return MeasureItemImage(measure, imageSize);
}

bool ViewerMenu::DrawItem(const DRAWITEMSTRUCT& draw) const {
    return DrawItemImage(draw);
}
