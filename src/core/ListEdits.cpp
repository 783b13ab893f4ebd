#include "core/ListEdits.h"

bool SameValues(const ViewerEntry& a, const ViewerEntry& b) {
    return a.command == b.command && a.parameters == b.parameters;
}

EditStep StepOfAdd(bool titleTaken) {
    return titleTaken ? EditStep::AskTaken : EditStep::Write;
}

EditStep StepOfEdit(const ViewerEntry& before, const ViewerEntry& after,
                    const std::optional<ViewerEntry>& now, bool renamed, bool newTitleTaken) {
    if (after.title == before.title && SameValues(after, before))
        return EditStep::Nothing;
    if (!now)
        return EditStep::AskDeleted;
    if (!SameValues(*now, before))
        return EditStep::AskChanged;
    if (renamed && newTitleTaken)
        return EditStep::AskTaken;
    return EditStep::Write;
}

EditStep StepOfDelete(const ViewerEntry& shown, const std::optional<ViewerEntry>& now) {
    if (!now)
        return EditStep::Nothing;
    return SameValues(*now, shown) ? EditStep::Write : EditStep::AskChangedBeforeDelete;
}
