#include "core/ListEdits.h"

#include <gtest/gtest.h>

namespace {

const ViewerEntry text{L"Text", L"text.exe", L"/t"};

TEST(ListEdits, AnEditAsksWhenTheStoreNoLongerHoldsWhatItBeganFrom) {
    const struct {
        const char* name;
        ViewerEntry after;
        std::optional<ViewerEntry> now;
        bool renamed, newTitleTaken;
        EditStep step;
    } cases[] = {
        {"unchanged", text, text, false, true, EditStep::Nothing},
        {"unchanged, the viewer gone meanwhile", text, std::nullopt, false, false,
         EditStep::Nothing},
        {"new parameters", {L"Text", L"text.exe", L"/u"}, text, false, true, EditStep::Write},
        {"only the title's case",
         {L"TEXT", L"text.exe", L"/t"},
         text,
         false,
         true,
         EditStep::Write},
        {"deleted meanwhile",
         {L"Text", L"text.exe", L"/u"},
         std::nullopt,
         false,
         false,
         EditStep::AskDeleted},
        {"command changed meanwhile",
         {L"Text", L"text.exe", L"/u"},
         ViewerEntry{L"Text", L"other.exe", L"/t"},
         false,
         true,
         EditStep::AskChanged},
        {"parameters changed meanwhile",
         {L"Hex", L"text.exe", L"/t"},
         ViewerEntry{L"Text", L"text.exe", L""},
         true,
         true,
         EditStep::AskChanged},
        {"renamed to a title taken meanwhile",
         {L"Hex", L"text.exe", L"/t"},
         text,
         true,
         true,
         EditStep::AskTaken},
        {"renamed to a free title",
         {L"Hex", L"text.exe", L"/t"},
         text,
         true,
         false,
         EditStep::Write},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.step, StepOfEdit(text, c.after, c.now, c.renamed, c.newTitleTaken)) << c.name;
}

TEST(ListEdits, AddAndDeleteAskOnlyAboutWhatAnotherProgramDid) {
    EXPECT_EQ(EditStep::Write, StepOfAdd(false));
    EXPECT_EQ(EditStep::AskTaken, StepOfAdd(true));
    EXPECT_EQ(EditStep::Write, StepOfDelete(text, text));
    EXPECT_EQ(EditStep::Nothing, StepOfDelete(text, std::nullopt)) << "gone already";
    EXPECT_EQ(EditStep::AskChangedBeforeDelete,
              StepOfDelete(text, ViewerEntry{L"Text", L"text.exe", L"/changed"}));
}

} // namespace
