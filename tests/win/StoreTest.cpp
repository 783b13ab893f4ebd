// The settings store on Wine's real registry. Each test works below a product key of its own
// (HKCU\Software\Copperfinch\BrindleTest-<test>), which it deletes afterwards.

#include "store/SettingsKey.h"
#include "store/ViewerStore.h"
#include "support/Registry.h"
#include "support/RegistryFaults.h"

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
// test; the store's own calls meet the faults of support/RegistryFaults.h.
class StoreTest : public testing::Test {
  protected:
    const std::string product =
        std::string("BrindleTest-") + testing::UnitTest::GetInstance()->current_test_info()->name();
    const std::wstring wideProduct = WideOf(product);
    const std::string rootPath = SettingsPath(product.c_str());
    const std::string menusPath = MenusPath(product.c_str());

    // Injected into every registry create, write and delete of the test's stores.
    RegistryFaults faults;

    // Also in SetUp, for what an interrupted earlier run left behind.
    void SetUp() override {
        DeleteSettings(product.c_str());
        InjectRegistryFaults(&faults);
    }
    void TearDown() override {
        InjectRegistryFaults(nullptr);
        DeleteSettings(product.c_str());
    }

    ViewerStore Store() { return ViewerStore(wideProduct.c_str()); }
    std::vector<std::string> LoadedTitles() { return StoredTitles(product.c_str()); }
    bool Seed(const std::vector<ViewerEntry>& rows) {
        return ReplaceViewers(rows, product.c_str());
    }
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
    EXPECT_FALSE(Store().Move(L"Stray", 1));
    EXPECT_TRUE(KeyExists(rootPath + "\\Stray"));

    // An edit that cannot create Menus writes nothing onto the root instead.
    faults = {0, 1, 1};
    EXPECT_FALSE(Store().Add({L"Text", L"notepad.exe", L"/a"}));
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
    for (const ViewerEntry& entry : expected)
        ASSERT_TRUE(Store().Update(entry.title, entry));
    const RegistryValue empty = ReadValue(menusPath + "\\Bare", paramValueName);
    EXPECT_EQ(DWORD{REG_SZ}, empty.type);
    EXPECT_EQ(std::string(1, '\0'), empty.bytes);
    EXPECT_EQ(std::string("abc\0", 4), ReadValue(menusPath + "\\Unended", nullptr).bytes);
    EXPECT_EQ(std::wstring(L"abc\0", 4), Store().ReadStored(L"Unended")->command);
    EXPECT_EQ(expected, Store().Load());
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

TEST_F(StoreTest, StoredOrderIsKeptAndIsNotTheRegistryOrder) {
    const std::vector<ViewerEntry> rows = {{L"Zeta", L"z.exe", L"-z"},
                                           {L"alpha", L"a.exe", L""},
                                           {L"Mid", L"C:\\m m\\m.exe", L"/x /y"}};
    ASSERT_TRUE(Seed(rows));
    EXPECT_EQ((Names{"alpha", "Mid", "Zeta"}), SubKeyNames(menusPath));
    EXPECT_EQ(rows, Store().Load());

    // Moving the last to the front writes the order as one list.
    ASSERT_TRUE(Store().Move(L"Mid", -1));
    ASSERT_TRUE(Store().Move(L"Mid", -1));
    const RegistryValue order = ReadValue(menusPath, orderValueName);
    EXPECT_EQ(DWORD{REG_MULTI_SZ}, order.type);
    EXPECT_EQ(std::string("Mid\0Zeta\0alpha\0\0", 16), order.bytes);
    EXPECT_EQ((Names{"Mid", "Zeta", "alpha"}), LoadedTitles());
}

TEST_F(StoreTest, KeysMissingFromOrderFollowInRegistryOrder) {
    ASSERT_TRUE(Seed({{L"Beta", L"b", L""}, {L"Alpha", L"a", L""}}));
    ASSERT_TRUE(MakeKey(menusPath + "\\Delta"));
    ASSERT_TRUE(MakeKey(menusPath + "\\Charlie"));
    EXPECT_EQ((Names{"Beta", "Alpha", "Charlie", "Delta"}), LoadedTitles());

    // Without any Order, as written by hand: the registry order.
    ASSERT_TRUE(WriteValue(menusPath, orderValueName, REG_SZ, "Delta"));
    EXPECT_EQ((Names{"Alpha", "Beta", "Charlie", "Delta"}), LoadedTitles());
}

TEST_F(StoreTest, OrderMatchesKeysWithoutRegardToCase) {
    ASSERT_TRUE(Seed({{L"A", L"", L""}, {L"B", L"", L""}, {L"C", L"", L""}}));
    ASSERT_TRUE(
        WriteValue(menusPath, orderValueName, REG_MULTI_SZ, std::string("ghost\0c\0b\0C\0\0", 14)));
    // Names as the keys spell them; the ghost and the second "C" are ignored.
    EXPECT_EQ((Names{"C", "B", "A"}), LoadedTitles());

    // Double-byte titles whose second bytes differ only in case are different names.
    ASSERT_TRUE(Seed({{katakanaDi, L"di", L""}, {katakanaA, L"a", L""}}));
    EXPECT_EQ((Names{Cp932Of(katakanaDi), Cp932Of(katakanaA)}), LoadedTitles());
}

// Two titles name the same viewer exactly when the registry takes them for the same key name.
TEST_F(StoreTest, TitlesAreTheSameWhenTheRegistryTakesThemForTheSameKey) {
    const std::vector<std::pair<std::wstring, std::wstring>> pairs = {
        {L"text", L"TEXT"},
        {L"\uFF41", L"\uFF21"}, // full-width "a" and "A"
        {L"\u00E9t\u00E9", L"\u00C9T\u00C9"},
        {L"\u03C3", L"\u03A3"}, // Greek sigma
        {L"\u044F", L"\u042F"}, // Cyrillic ya
        {L"\u24D0", L"\u24B6"}, // circled "a" and "A"
        {katakanaA, katakanaDi},
        {L"text", L"text "},
        {L"\u00DF", L"SS"},
    };
    SettingsKey key(settingsMaker, wideProduct.c_str());
    const UniqueKey menus = key.CreateSubKey(menusKeyName);
    ASSERT_TRUE(menus);
    for (const auto& [stored, asked] : pairs) {
        SCOPED_TRACE(Cp932Of(stored) + " / " + Cp932Of(asked));
        ASSERT_TRUE(key.CreateSubKey(stored.c_str(), menus.Get()));
        EXPECT_EQ(static_cast<bool>(key.OpenSubKey(asked.c_str(), menus.Get())),
                  SameTitle(stored, asked));
        EXPECT_EQ(SameTitle(stored, asked), SameTitle(asked, stored));
        ASSERT_TRUE(key.DeleteSubKey(stored.c_str(), menus.Get()));
    }

    // An added viewer whose title differs in case only is written over the stored one, and its
    // key takes the new spelling.
    for (const auto& [stored, added] :
         {std::pair<std::wstring, std::wstring>{L"text", L"TEXT"}, {L"\uFF41", L"\uFF21"}}) {
        ASSERT_TRUE(Seed({{stored, L"old.exe", L""}}));
        ASSERT_TRUE(Store().Add({added, L"new.exe", L"-n"}));
        EXPECT_EQ((std::vector<ViewerEntry>{{added, L"new.exe", L"-n"}}), Store().Load());
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
        {"case of the title",
         [&](ViewerStore& store) {
             return store.Update(L"Hex", {L"HEX", L"hex", L""});
         }},
        {"move", [&](ViewerStore& store) { return store.Move(L"Hex", -1); }},
        {"delete", [&](ViewerStore& store) { return store.Delete(L"Hex"); }},
    };
    for (const auto& [name, edit] : edits) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(Seed(before));
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
                DeleteSettings(product.c_str()); // keys spelt as seeded
                ASSERT_TRUE(Seed(before));
                faults = {0, failing, last ? last : failing};
                ViewerStore failed = Store();
                EXPECT_FALSE(edit(failed));
                faults = {};

                std::set<std::wstring> titles;
                for (const ViewerEntry& entry : Store().Load())
                    titles.insert(entry.title);
                EXPECT_TRUE(titles.count(L"Text") || titles.count(L"Renamed"));
                // A new spelling goes through a passing name, which a failure may leave.
                EXPECT_TRUE(titles.count(L"Hex") || titles.count(L"HEX") ||
                            titles.count(L"HEX (~)") || std::string(name) == "delete");
                EXPECT_FALSE(ReadValue(menusPath, nullptr).exists);
                EXPECT_FALSE(ReadValue(rootPath, nullptr).exists);
            }
        }
    }
}

// A move writes the order and nothing else; an edit in place writes its viewer's values only.
TEST_F(StoreTest, MoveAndEditInPlaceTouchNoOtherValue) {
    ASSERT_TRUE(Seed({{L"A", L"a", L""}, {L"B", L"b", L""}}));
    // What another program wrote meanwhile, in the old order's stead: no edit writes it back.
    ASSERT_TRUE(WriteValue(menusPath + "\\B", nullptr, REG_SZ, std::string("b2\0", 3)));
    EXPECT_TRUE(Store().Move(L"B", -1));
    EXPECT_EQ((Names{"B", "A"}), LoadedTitles());
    EXPECT_EQ(std::string("b2\0", 3), ReadValue(menusPath + "\\B", nullptr).bytes);

    // An order as another program spells it stays as it is.
    const std::string order("b\0a\0\0", 5);
    ASSERT_TRUE(WriteValue(menusPath, orderValueName, REG_MULTI_SZ, order));
    EXPECT_TRUE(Store().Update(L"A", {L"A", L"a3", L"/3"}));
    EXPECT_EQ(order, ReadValue(menusPath, orderValueName).bytes);
    EXPECT_EQ(std::string("b2\0", 3), ReadValue(menusPath + "\\B", nullptr).bytes);
    EXPECT_EQ((std::vector<ViewerEntry>{{L"B", L"b2", L""}, {L"A", L"a3", L"/3"}}), Store().Load());
}

// After an edit that the user chose over another program's change, `Order` lists every viewer
// once, spelt as its key, and the edited viewer's key is spelt as the user spelt its title.
TEST_F(StoreTest, EditsOverAnotherProgramsChangesLeaveAnOrderOfEveryKeyAsSpelt) {
    const auto orderOf = [&](const std::vector<std::string>& titles) {
        std::string bytes;
        for (const std::string& title : titles)
            bytes += title + '\0';
        return bytes + '\0';
    };
    const struct {
        const char* name;
        std::function<void()> meanwhile;
        std::wstring oldTitle;
        ViewerEntry edited;
        Names keys, order;
    } cases[] = {
        {"renamed elsewhere, the edit kept",
         [&] {
             DeleteKey(menusPath + "\\A");
             ASSERT_TRUE(WriteValue(menusPath + "\\C", nullptr, REG_SZ, "a.exe"));
             ASSERT_TRUE(WriteValue(menusPath, orderValueName, REG_MULTI_SZ, orderOf({"B", "C"})));
         },
         L"A",
         {L"A", L"a2.exe", L""},
         {"A", "B", "C"},
         {"B", "C", "A"}},
        {"renamed onto a title another program took",
         [&] { ASSERT_TRUE(WriteValue(menusPath + "\\NewX", nullptr, REG_SZ, "x.exe")); },
         L"A",
         {L"newx", L"a.exe", L""},
         {"B", "newx"},
         {"newx", "B"}},
        {"only the case of the title", [] {}, L"A", {L"a", L"a.exe", L""}, {"a", "B"}, {"a", "B"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Seed({{L"A", L"a.exe", L""}, {L"B", L"b.exe", L""}}));
        c.meanwhile();
        EXPECT_TRUE(Store().Update(c.oldTitle, c.edited));
        EXPECT_EQ(c.keys, SubKeyNames(menusPath));
        EXPECT_EQ(orderOf(c.order), ReadValue(menusPath, orderValueName).bytes);
        EXPECT_EQ(c.order, LoadedTitles());
    }
}

TEST_F(StoreTest, UnstorableTitlesAreRefusedWithoutWriting) {
    const std::vector<ViewerEntry> kept = {{L"Kept", L"k", L""}};
    ASSERT_TRUE(Seed(kept));
    for (const std::wstring& title :
         {std::wstring(), std::wstring(L"a\\b"), std::wstring(L"a\0b", 3),
          std::wstring(maxTitleChars + 1, L'x')}) {
        EXPECT_FALSE(Store().Add({title, L"x.exe", L""}));
        EXPECT_FALSE(Store().Update(L"Kept", {title, L"x.exe", L""}));
        EXPECT_FALSE(Store().Delete(title));
    }
    EXPECT_EQ(Names{"Kept"}, SubKeyNames(menusPath));
    EXPECT_FALSE(ReadValue(menusPath, nullptr).exists);
    EXPECT_FALSE(ReadValue(menusPath, paramValueName).exists);
    EXPECT_EQ(kept, Store().Load());
}

TEST_F(StoreTest, DeleteViewerRemovesItsKeyAndItsPlaceInOrder) {
    ASSERT_TRUE(Seed({{L"B", L"b", L""}, {L"A", L"a", L""}, {L"C", L"c", L""}}));
    ASSERT_TRUE(MakeKey(menusPath + "\\B\\Nested"));
    ASSERT_TRUE(Store().RememberChoice(L"B"));
    EXPECT_TRUE(Store().Delete(L"b"));
    EXPECT_EQ(L"", Store().LastChoice()) << "a deleted viewer is not remembered";
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
