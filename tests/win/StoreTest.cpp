// The settings store on Wine's real registry. Each test works below a product key of its own
// (HKCU\Software\Copperfinch\BrindleTest-<test>), which it deletes afterwards.

#include "store/SettingsKey.h"
#include "store/ViewerStore.h"
#include "support/Registry.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <cstring>
#include <set>

namespace {

using namespace testsupport;

// "ア" and "ヂ": in code page 932 the same lead byte, trail bytes 'A' and 'a'.
const std::wstring katakanaA = L"\u30A2";
const std::wstring katakanaDi = L"\u30C2";

// The helpers of support/Registry.h reach the registry directly, not through the code under
// test.
class StoreTest : public testing::Test {
  protected:
    const std::string product =
        std::string("BrindleTest-") + testing::UnitTest::GetInstance()->current_test_info()->name();
    const std::wstring wideProduct = WideOf(product);
    const std::string rootPath = SettingsPath(product.c_str());
    const std::string menusPath = MenusPath(product.c_str());

    // Injected into every store of the test.
    StoreFaults faults;

    // Also in SetUp, for what an interrupted earlier run left behind.
    void SetUp() override {
        DeleteSettings(product.c_str());
        InjectStoreFaults(&faults);
    }
    void TearDown() override {
        InjectStoreFaults(nullptr);
        DeleteSettings(product.c_str());
    }

    ViewerStore Store() { return ViewerStore(wideProduct.c_str()); }
    std::vector<std::string> LoadedTitles() { return StoredTitles(product.c_str()); }
    bool Save(const std::vector<ViewerEntry>& rows) { return Store().Save(rows); }
};

using Names = std::vector<std::string>;

TEST_F(StoreTest, FirstConstructionCreatesTheRootAndNoMenus) {
    ASSERT_FALSE(KeyExists(rootPath));
    SettingsKey key(settingsMaker, wideProduct.c_str());
    ASSERT_NE(nullptr, key.RootKey());
    EXPECT_TRUE(KeyExists(rootPath));
    EXPECT_FALSE(key.OpenSubKey(menusKeyName, nullptr));
    EXPECT_FALSE(Store().HasViewers());
    EXPECT_TRUE(Store().Load().empty());

    // A second construction opens the same root.
    EXPECT_TRUE(key.SetString(L"Mark", L"kept"));
    SettingsKey again(settingsMaker, wideProduct.c_str());
    EXPECT_TRUE(again.SetString(L"Mark", L"again"));
    EXPECT_EQ(std::string("again\0", 6), ReadValue(rootPath, L"Mark").bytes);
}

TEST_F(StoreTest, NullParentMeansTheRootKey) {
    SettingsKey key(settingsMaker, wideProduct.c_str());
    EXPECT_TRUE(key.CreateSubKey(L"Child"));
    EXPECT_TRUE(KeyExists(rootPath + "\\Child"));

    EXPECT_TRUE(key.SetString(L"Value", L"on root"));
    EXPECT_EQ("on root", ReadValue(rootPath, L"Value").bytes.substr(0, 7));
    wchar_t name[64];
    EXPECT_TRUE(key.EnumSubKey(0, name, 64));
    EXPECT_STREQ(L"Child", name);
    EXPECT_FALSE(key.EnumSubKey(1, name, 64));
    EXPECT_TRUE(key.OpenSubKey(L"Child"));
    EXPECT_TRUE(key.DeleteSubKey(L"Child"));
    EXPECT_FALSE(KeyExists(rootPath + "\\Child"));
}

TEST_F(StoreTest, ViewerListIgnoresTheRootWhenMenusIsMissing) {
    ASSERT_TRUE(MakeKey(rootPath + "\\Stray"));
    EXPECT_TRUE(Store().Titles().empty());
    EXPECT_TRUE(Store().Load().empty());
    EXPECT_FALSE(Store().Delete(L"Stray"));
    EXPECT_TRUE(KeyExists(rootPath + "\\Stray"));

    // A save that cannot create Menus writes nothing onto the root instead.
    faults.calls = 0;
    faults.failFrom = faults.failTo = 1;
    EXPECT_FALSE(Store().Save({{L"Text", L"notepad.exe", L"/a"}}));
    EXPECT_EQ(Names{"Stray"}, SubKeyNames(rootPath));
    EXPECT_FALSE(ReadValue(rootPath, nullptr).exists);
    EXPECT_FALSE(ReadValue(rootPath, paramValueName).exists);
}

// Values as other programs and earlier versions stored them: missing, without a terminator,
// empty of zero bytes, of a type other than text.
TEST_F(StoreTest, ValuesReadAsStoredInEveryForm) {
    ASSERT_TRUE(MakeKey(menusPath + "\\Bare"));
    ASSERT_TRUE(WriteValue(menusPath + "\\OnlyParam", paramValueName, REG_SZ, "-p"));
    ASSERT_TRUE(WriteValue(menusPath + "\\Unended", nullptr, REG_SZ, "abc"));
    ASSERT_TRUE(WriteValue(menusPath + "\\Unended", paramValueName, REG_SZ, ""));
    const std::vector<ViewerEntry> expected = {
        {L"Bare", L"", L""}, {L"OnlyParam", L"", L"-p"}, {L"Unended", L"abc", L""}};
    EXPECT_EQ(expected, Store().Load());

    // Written back terminated: an empty text is one zero, not a value of no bytes that other
    // readers misread.
    ASSERT_TRUE(Store().Save(expected));
    const RegistryValue empty = ReadValue(menusPath + "\\Bare", paramValueName);
    EXPECT_EQ(DWORD{REG_SZ}, empty.type);
    EXPECT_EQ(std::string(1, '\0'), empty.bytes);
    EXPECT_EQ(std::string("abc\0", 4), ReadValue(menusPath + "\\Unended", nullptr).bytes);
}

TEST_F(StoreTest, QueryValueNeverWritesPastTheBuffer) {
    SettingsKey key(settingsMaker, wideProduct.c_str());
    ASSERT_TRUE(key.SetString(L"Long", std::wstring(100, L'L')));
    struct Guarded {
        char buffer[8];
        char guard[8];
    } area;
    std::memset(&area, '\xAA', sizeof area);
    DWORD type = 0;
    DWORD size = sizeof area.buffer;
    EXPECT_FALSE(key.QueryValue(L"Long", &type, reinterpret_cast<BYTE*>(area.buffer), &size));
    EXPECT_GE(size, 200u);
    EXPECT_EQ(std::string(16, '\xAA'), std::string(area.buffer, 16));
    size = sizeof area.buffer;
    EXPECT_FALSE(key.QueryValue(L"Missing", &type, reinterpret_cast<BYTE*>(area.buffer), &size));
    EXPECT_EQ(0u, size);
}

// The start-hidden decision reads the first title through a 64-byte name buffer.
TEST_F(StoreTest, HasViewersCountsAFirstTitleOfUnder64Bytes) {
    ASSERT_TRUE(MakeKey(menusPath + "\\" + std::string(63, 'a')));
    EXPECT_TRUE(Store().HasViewers());
    ASSERT_TRUE(MakeKey(menusPath + "\\" + std::string(64, '0')));
    EXPECT_FALSE(Store().HasViewers());
    // The viewer list reads names of any length.
    EXPECT_EQ(2u, Store().Load().size());
}

TEST_F(StoreTest, DeleteSubKeyRemovesTheWholeTree) {
    ASSERT_TRUE(MakeKey(menusPath + "\\Text\\Nested\\Deeper"));
    ASSERT_TRUE(MakeKey(menusPath + "\\Hex"));
    ASSERT_TRUE(WriteValue(menusPath + "\\Hex", nullptr, REG_SZ, "hexdump.exe"));
    ASSERT_TRUE(MakeKey(rootPath + "\\Other"));
    SettingsKey key(settingsMaker, wideProduct.c_str());
    EXPECT_TRUE(key.DeleteSubKey(menusKeyName));
    EXPECT_FALSE(KeyExists(menusPath));
    EXPECT_TRUE(KeyExists(rootPath + "\\Other"));
    EXPECT_FALSE(key.DeleteSubKey(menusKeyName));
    // An empty name is not the parent itself.
    EXPECT_FALSE(key.DeleteSubKey(L""));
    EXPECT_TRUE(KeyExists(rootPath + "\\Other"));
}

TEST_F(StoreTest, SavedOrderIsKeptAndIsNotTheRegistryOrder) {
    const std::vector<ViewerEntry> rows = {{L"Zeta", L"z.exe", L"-z"},
                                           {L"alpha", L"a.exe", L""},
                                           {L"Mid", L"C:\\m m\\m.exe", L"/x /y"}};
    ASSERT_TRUE(Save(rows));
    EXPECT_EQ((Names{"alpha", "Mid", "Zeta"}), SubKeyNames(menusPath));
    RegistryValue order = ReadValue(menusPath, orderValueName);
    EXPECT_EQ(DWORD{REG_MULTI_SZ}, order.type);
    EXPECT_EQ(std::string("Zeta\0alpha\0Mid\0\0", 16), order.bytes);

    std::vector<ViewerEntry> loaded = Store().Load();
    ASSERT_EQ(3u, loaded.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].title, loaded[i].title);
        EXPECT_EQ(rows[i].command, loaded[i].command);
        EXPECT_EQ(rows[i].parameters, loaded[i].parameters);
    }
    // Moving the last to the front.
    ASSERT_TRUE(Store().Save({rows[2], rows[0], rows[1]}));
    EXPECT_EQ((Names{"Mid", "Zeta", "alpha"}), LoadedTitles());
}

TEST_F(StoreTest, KeysMissingFromOrderFollowInRegistryOrder) {
    ASSERT_TRUE(Save({{L"Beta", L"b", L""}, {L"Alpha", L"a", L""}}));
    ASSERT_TRUE(MakeKey(menusPath + "\\Delta"));
    ASSERT_TRUE(MakeKey(menusPath + "\\Charlie"));
    EXPECT_EQ((Names{"Beta", "Alpha", "Charlie", "Delta"}), LoadedTitles());

    // Without any Order, as written by hand: the registry order.
    ASSERT_TRUE(WriteValue(menusPath, orderValueName, REG_SZ, "Delta"));
    EXPECT_EQ((Names{"Alpha", "Beta", "Charlie", "Delta"}), LoadedTitles());
}

TEST_F(StoreTest, OrderMatchesKeysWithoutRegardToCase) {
    ASSERT_TRUE(Save({{L"A", L"", L""}, {L"B", L"", L""}, {L"C", L"", L""}}));
    ASSERT_TRUE(
        WriteValue(menusPath, orderValueName, REG_MULTI_SZ, std::string("ghost\0c\0b\0C\0\0", 14)));
    // Names as the keys spell them; the ghost and the second "C" are ignored.
    EXPECT_EQ((Names{"C", "B", "A"}), LoadedTitles());

    // Double-byte titles whose second bytes differ only in case are different names.
    ASSERT_TRUE(Save({{katakanaDi, L"di", L""}, {katakanaA, L"a", L""}}));
    EXPECT_EQ((Names{Cp932Of(katakanaDi), Cp932Of(katakanaA)}), LoadedTitles());
}

TEST_F(StoreTest, SavingATitleInAnotherCaseUpdatesTheSameKey) {
    // Plain letters, and full-width ones ("ａ" and "Ａ"), which the registry folds as well.
    for (const auto& [stored, saved] :
         {std::pair<std::wstring, std::wstring>{L"text", L"TEXT"}, {L"\uFF41", L"\uFF21"}}) {
        ASSERT_TRUE(Save({{stored, L"old.exe", L""}}));
        ASSERT_TRUE(Save({{saved, L"new.exe", L"-n"}}));
        std::vector<ViewerEntry> loaded = Store().Load();
        ASSERT_EQ(1u, loaded.size());
        EXPECT_EQ(stored, loaded[0].title);
        EXPECT_EQ(L"new.exe", loaded[0].command);
        EXPECT_EQ(L"-n", loaded[0].parameters);
    }
}

TEST_F(StoreTest, RenameAndRemovalLeaveExactlyTheSavedKeys) {
    ASSERT_TRUE(Save(
        {{L"Text", L"notepad.exe", L""}, {L"Hex", L"hexdump.exe", L"/r"}, {L"Gone", L"", L""}}));
    ASSERT_TRUE(MakeKey(menusPath + "\\Gone\\Nested"));
    ASSERT_TRUE(Save({{L"Hex", L"hexdump.exe", L"/r"}, {L"Plain text", L"notepad.exe", L""}}));
    EXPECT_EQ((Names{"Hex", "Plain text"}), SubKeyNames(menusPath));
    EXPECT_EQ((Names{"Hex", "Plain text"}), LoadedTitles());

    ASSERT_TRUE(Save({}));
    EXPECT_TRUE(SubKeyNames(menusPath).empty());
    EXPECT_TRUE(LoadedTitles().empty());
}

TEST_F(StoreTest, FailedSavesLoseNothing) {
    const std::vector<ViewerEntry> before = {{L"Text", L"notepad.exe", L"-t"},
                                             {L"Hex", L"hex", L""}};
    const std::vector<ViewerEntry> after = {{L"Hex", L"hex", L""},
                                            {L"Renamed", L"notepad.exe", L"-t"}};
    ASSERT_TRUE(Save(before));
    faults.calls = 0;
    ASSERT_TRUE(Save(after));
    const int calls = faults.calls;

    // One failing call, and a death at a call (it and every later one fail).
    for (int last : {0, INT_MAX}) {
        for (int failing = 1; failing <= calls; ++failing) {
            SCOPED_TRACE(testing::Message() << "call " << failing << " to " << last);
            ASSERT_TRUE(Save(before));
            faults.calls = 0;
            faults.failFrom = failing;
            faults.failTo = last ? last : failing;
            EXPECT_FALSE(Save(after));
            faults.failFrom = faults.failTo = 0;

            std::vector<ViewerEntry> loaded = Store().Load();
            std::set<std::wstring> titles;
            for (const ViewerEntry& entry : loaded) {
                titles.insert(entry.title);
                if (entry.title == L"Text") {
                    EXPECT_EQ(L"notepad.exe", entry.command);
                }
            }
            EXPECT_TRUE(titles.count(L"Text") && titles.count(L"Hex"));
            // Nothing went astray onto Menus or the root.
            EXPECT_FALSE(ReadValue(menusPath, nullptr).exists);
            EXPECT_FALSE(ReadValue(rootPath, nullptr).exists);
            EXPECT_FALSE(ReadValue(rootPath, paramValueName).exists);
        }
    }
}

// The list window's edits: each writes only what it changes, so what another program stored
// meanwhile stays, and none loses an entry when any of its steps fails or it dies there.
TEST_F(StoreTest, EditsWriteOnlyWhatChangesAndFailedOnesLoseNothing) {
    const std::vector<ViewerEntry> before = {{L"Text", L"notepad.exe", L"-t"},
                                             {L"Hex", L"hex", L""}};
    const ViewerEntry renamed{L"Renamed", L"notepad.exe", L"-r"};
    const ViewerEntry added{L"Added", L"add.exe", L""};
    using Edit = std::function<bool(ViewerStore&)>;
    const std::vector<std::pair<const char*, Edit>> edits = {
        {"add", [&](ViewerStore& store) { return store.Add(added); }},
        {"rename", [&](ViewerStore& store) { return store.Update(L"Text", renamed); }},
        {"edit in place",
         [&](ViewerStore& store) {
             return store.Update(L"Hex", {L"Hex", L"h2", L"/2"});
         }},
        {"move", [&](ViewerStore& store) { return store.Move(L"Hex", -1); }},
        {"delete", [&](ViewerStore& store) { return store.Delete(L"Hex"); }},
    };
    for (const auto& [name, edit] : edits) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(Save(before));
        // Written behind the window's back: no edit of it may remove it.
        ASSERT_TRUE(WriteValue(menusPath + "\\Foreign", nullptr, REG_SZ, "f.exe"));
        faults = {};
        ViewerStore counting = Store();
        ASSERT_TRUE(edit(counting));
        const int calls = faults.calls;
        EXPECT_TRUE(KeyExists(menusPath + "\\Foreign"));

        for (int last : {0, INT_MAX}) {
            for (int failing = 1; failing <= calls; ++failing) {
                SCOPED_TRACE(testing::Message() << "call " << failing << " to " << last);
                ASSERT_TRUE(Save(before));
                faults = {0, failing, last ? last : failing};
                ViewerStore failed = Store();
                EXPECT_FALSE(edit(failed));
                faults = {};

                std::set<std::wstring> titles;
                for (const ViewerEntry& entry : Store().Load())
                    titles.insert(entry.title);
                EXPECT_TRUE(titles.count(L"Text") || titles.count(L"Renamed"));
                EXPECT_TRUE(titles.count(L"Hex") || std::string(name) == "delete");
                EXPECT_FALSE(ReadValue(menusPath, nullptr).exists);
                EXPECT_FALSE(ReadValue(rootPath, nullptr).exists);
            }
        }
    }
}

// A move writes the order and nothing else; an edit in place writes its viewer's values only.
TEST_F(StoreTest, MoveAndEditInPlaceTouchNoOtherValue) {
    ASSERT_TRUE(Save({{L"A", L"a", L""}, {L"B", L"b", L""}}));
    // What another program wrote meanwhile, in the old order's stead: no edit writes it back.
    ASSERT_TRUE(WriteValue(menusPath + "\\B", nullptr, REG_SZ, std::string("b2\0", 3)));
    EXPECT_TRUE(Store().Move(L"B", -1));
    EXPECT_EQ((Names{"B", "A"}), LoadedTitles());
    EXPECT_EQ(std::string("b2\0", 3), ReadValue(menusPath + "\\B", nullptr).bytes);

    // An order as another program spells it stays as it is.
    const std::string order("b\0a\0\0", 5);
    ASSERT_TRUE(WriteValue(menusPath, orderValueName, REG_MULTI_SZ, order));
    EXPECT_TRUE(Store().Update(L"a", {L"A", L"a3", L"/3"}));
    EXPECT_EQ(order, ReadValue(menusPath, orderValueName).bytes);
    EXPECT_EQ(std::string("b2\0", 3), ReadValue(menusPath + "\\B", nullptr).bytes);
    EXPECT_EQ((std::vector<ViewerEntry>{{L"B", L"b2", L""}, {L"A", L"a3", L"/3"}}), Store().Load());
}

TEST_F(StoreTest, UnstorableTitlesAreSkippedWithoutDeletingKeys) {
    ASSERT_TRUE(Save({{L"Kept", L"k", L""}}));
    EXPECT_FALSE(Save({{L"Good", L"g", L""}, {L"", L"empty", L"e"}, {L"a\\b", L"nested", L""}}));
    EXPECT_EQ((Names{"Good", "Kept"}), SubKeyNames(menusPath));
    EXPECT_FALSE(ReadValue(menusPath, nullptr).exists);
    EXPECT_FALSE(ReadValue(menusPath, paramValueName).exists);

    EXPECT_TRUE(IsStorableTitle(std::wstring(maxTitleChars, L'x')));
    EXPECT_FALSE(IsStorableTitle(std::wstring(maxTitleChars + 1, L'x')));
    // Counted in UTF-16 units, not in bytes of a code page.
    EXPECT_TRUE(IsStorableTitle(std::wstring(maxTitleChars, katakanaA[0])));
    EXPECT_FALSE(IsStorableTitle(std::wstring(L"a\0b", 3)));
}

TEST_F(StoreTest, DeleteViewerRemovesItsKeyAndItsPlaceInOrder) {
    ASSERT_TRUE(Save({{L"B", L"b", L""}, {L"A", L"a", L""}, {L"C", L"c", L""}}));
    ASSERT_TRUE(MakeKey(menusPath + "\\B\\Nested"));
    EXPECT_TRUE(Store().Delete(L"b"));
    EXPECT_EQ((Names{"A", "C"}), SubKeyNames(menusPath));
    EXPECT_EQ((Names{"A", "C"}), LoadedTitles());
    // Recreated by hand, B is no longer listed in front.
    ASSERT_TRUE(MakeKey(menusPath + "\\B"));
    EXPECT_EQ((Names{"A", "C", "B"}), LoadedTitles());

    EXPECT_FALSE(Store().Delete(L"Missing"));
    EXPECT_FALSE(Store().Delete(L""));
    EXPECT_EQ((Names{"A", "C", "B"}), LoadedTitles());
}

} // namespace
