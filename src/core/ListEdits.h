#pragma once
// What an edit in the list window does once the user has finished it in the editor or answered
// its question, decided from what the store held when the edit began and what it holds now.
// Another program may have changed the store meanwhile (`reg import` of a backup, regedit,
// another Brindle): what it did is replaced only when the user says so, and an edit that
// changes nothing writes nothing.

#include <optional>

#include "core/ViewerEntry.h"

enum class EditStep {
    Nothing,                // the edit changes nothing; or the viewer is gone: nothing to do
    Write,                  // write the edit
    AskDeleted,             // the viewer was deleted (or renamed) meanwhile
    AskChanged,             // the viewer's values were changed meanwhile
    AskTaken,               // another viewer of the new title was stored meanwhile
    AskChangedBeforeDelete, // the viewer to delete was changed meanwhile
};

// Whether two viewers hold the same command and parameters.
bool SameValues(const ViewerEntry& a, const ViewerEntry& b);

// Adding a viewer whose title another viewer holds now (`titleTaken`) or not.
EditStep StepOfAdd(bool titleTaken);

// Editing viewer `before` (as the store held it when the editor opened) into `after`. `now` is
// the store's viewer of before's title now (none: gone); `renamed` whether the edit changes the
// title to another key's name; `newTitleTaken` whether a viewer of after's title exists now.
EditStep StepOfEdit(const ViewerEntry& before, const ViewerEntry& after,
                    const std::optional<ViewerEntry>& now, bool renamed, bool newTitleTaken);

// Deleting viewer `shown` (as the list showed it when the user confirmed); `now` as above.
// Nothing when it is gone already.
EditStep StepOfDelete(const ViewerEntry& shown, const std::optional<ViewerEntry>& now);
