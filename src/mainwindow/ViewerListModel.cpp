#include "mainwindow/ViewerListModel.h"

#include <algorithm>
#include <numeric>

bool ViewerListModel::Load(bool yield) {
    loaded = true;
    // The rows read before, by title, to keep the values of the viewers that did not change.
    std::vector<size_t> byTitle(rows.size());
    std::iota(byTitle.begin(), byTitle.end(), size_t{0});
    std::sort(byTitle.begin(), byTitle.end(),
              [this](size_t a, size_t b) { return rows[a].entry.title < rows[b].entry.title; });
    const auto known = [&](const std::wstring& title,
                           const FILETIME& written) -> const ViewerEntry* {
        const auto found = std::lower_bound(
            byTitle.begin(), byTitle.end(), title,
            [this](size_t row, const std::wstring& t) { return rows[row].entry.title < t; });
        if (found == byTitle.end() || rows[*found].entry.title != title ||
            CompareFileTime(&rows[*found].written, &written) != 0)
            return nullptr;
        return &rows[*found].entry;
    };
    // A click or key (or a command posted as a click) that waits goes first.
    const auto userWaits = [] {
        return HIWORD(GetQueueStatus(QS_KEY | QS_MOUSEBUTTON | QS_POSTMESSAGE)) != 0;
    };
    std::optional<std::vector<StoredViewer>> read =
        ViewerStore().LoadChanged(known, yield ? std::function<bool()>(userWaits) : nullptr);
    if (!read)
        return false;
    rows = std::move(*read);
    return true;
}

int ViewerListModel::RowOf(const std::wstring& title) const {
    const auto found =
        FindTitle(rows.begin(), rows.end(), title,
                  [](const StoredViewer& row) -> const std::wstring& { return row.entry.title; });
    return found == rows.end() ? -1 : static_cast<int>(found - rows.begin());
}

std::vector<std::wstring> ViewerListModel::TitlesBut(const std::wstring& except) const {
    const int skipped = except.empty() ? -1 : RowOf(except);
    std::vector<std::wstring> titles;
    for (int row = 0, count = static_cast<int>(rows.size()); row < count; ++row)
        if (row != skipped)
            titles.push_back(rows[static_cast<size_t>(row)].entry.title);
    return titles;
}

void ViewerListModel::Forget(const std::wstring& title) {
    if (const int row = RowOf(title); row >= 0)
        rows.erase(rows.begin() + row);
}

EditStep ViewerListModel::StepOfAdding(const ViewerEntry& entry) {
    return StepOfAdd(ViewerStore().Read(entry.title).has_value());
}

bool ViewerListModel::Add(const ViewerEntry& entry) {
    if (!ViewerStore().Add(entry))
        return false;
    Forget(entry.title);
    rows.push_back({entry, {}}); // read again at the next sync, as written since
    return true;
}

std::optional<ViewerEntry> ViewerListModel::Read(const std::wstring& title) {
    return ViewerStore().Read(title);
}

EditStep ViewerListModel::StepOfEditing(const ViewerEntry& before, const ViewerEntry& after) {
    const bool renamed = !SameTitle(after.title, before.title);
    ViewerStore store;
    return StepOfEdit(before, after, store.Read(before.title), renamed,
                      renamed && store.Read(after.title).has_value());
}

bool ViewerListModel::Edit(const std::wstring& title, const ViewerEntry& after) {
    if (!ViewerStore().Update(title, after))
        return false;
    if (!SameTitle(after.title, title))
        Forget(after.title); // the viewer of that title that the user chose to replace
    const int row = RowOf(title);
    if (row >= 0)
        rows[static_cast<size_t>(row)] = {after, {}};
    else
        rows.push_back({after, {}});
    return true;
}

EditStep ViewerListModel::StepOfDeleting(const ViewerEntry& shown) {
    return StepOfDelete(shown, ViewerStore().Read(shown.title));
}

bool ViewerListModel::Delete(const std::wstring& title) {
    if (!ViewerStore().Delete(title))
        return false;
    Forget(title);
    return true;
}

bool ViewerListModel::Move(const std::wstring& title, int step) {
    if (!ViewerStore().Move(title, step))
        return false;
    const int row = RowOf(title);
    const int neighbour = row + step;
    if (row >= 0 && neighbour >= 0 && neighbour < static_cast<int>(rows.size()))
        std::swap(rows[static_cast<size_t>(row)], rows[static_cast<size_t>(neighbour)]);
    return true;
}
