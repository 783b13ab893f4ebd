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

// "ア" and "ヂ" in code page 932: the same lead byte, trail bytes 'A' and 'a'.
const std::string katakanaA = "\x83\x41";
const std::string katakanaDi = "\x83\x61";

// The helpers of support/Registry.h reach the registry directly, not through the code under
// test.
class StoreTest : public testing::Test {
  protected:
    const std::string product =
        std::string("BrindleTest-") + testing::UnitTest::GetInstance()->current_test_info()->name();
    const std::string rootPath = SettingsPath(product.c_str());
    const std::string menusPath = MenusPath(product.c_str());

    // Injected into every store of the test.
    StoreFaults faults;

    // Also in SetUp, for what an interrupted earlier run left behind.
    void SetUp() override { DeleteSettings(product.c_str()); }
    void TearDown() override { DeleteSettings(product.c_str()); }

    ViewerStore Store() { return ViewerStore(product.c_str(), &faults); }
    std::vector<std::string> LoadedTitles() { return StoredTitles(product.c_str()); }
    bool Save(const std::vector<ViewerEntry>& rows) { return Store().Save(rows); }
};

using Names = std::vector<std::string>;

TEST_F(StoreTest, FirstConstructionCreatesTheRootAndNoMenus) {
    ASSERT_FALSE(KeyExists(rootPath));
    SettingsKey key(settingsMaker, product.c_str());
    ASSERT_NE(nullptr, key.RootKey());
    EXPECT_TRUE(KeyExists(rootPath));
    EXPECT_EQ(0, key.CountSubKeys(menusKeyName, nullptr));
    EXPECT_FALSE(key.OpenSubKey(menusKeyName, nullptr));
    EXPECT_TRUE(Store().Load().empty());

    // A second construction opens the same root.
    EXPECT_TRUE(key.SetString("Mark", "kept"));
    SettingsKey again(settingsMaker, product.c_str());
    std::string mark;
    EXPECT_TRUE(again.GetString("Mark", mark, ""));
    EXPECT_EQ("kept", mark);
}

TEST_F(StoreTest, NullParentMeansTheRootKey) {
    SettingsKey key(settingsMaker, product.c_str());
    EXPECT_TRUE(key.CreateSubKey("Child"));
    EXPECT_TRUE(KeyExists(rootPath + "\\Child"));

    EXPECT_TRUE(key.SetString("Value", "on root"));
    EXPECT_EQ("on root", ReadValue(rootPath, "Value").bytes.substr(0, 7));
    char name[64];
    EXPECT_TRUE(key.EnumSubKey(0, name, sizeof name));
    EXPECT_STREQ("Child", name);
    EXPECT_FALSE(key.EnumSubKey(1, name, sizeof name));
    EXPECT_TRUE(key.OpenSubKey("Child"));
    EXPECT_TRUE(key.DeleteSubKey("Child"));
    EXPECT_FALSE(KeyExists(rootPath + "\\Child"));
}

TEST_F(StoreTest, ViewerListIgnoresTheRootWhenMenusIsMissing) {
    ASSERT_TRUE(MakeKey(rootPath + "\\Stray"));
    SettingsKey key(settingsMaker, product.c_str());
    EXPECT_TRUE(Store().Titles().empty());
    EXPECT_TRUE(Store().Load().empty());
    EXPECT_FALSE(Store().Delete("Stray"));
    EXPECT_TRUE(KeyExists(rootPath + "\\Stray"));

    // A save that cannot create Menus writes nothing onto the root instead.
    faults.calls = 0;
    faults.failFrom = faults.failTo = 1;
    EXPECT_FALSE(Store().Save({{"Text", "notepad.exe", "/a"}}));
    EXPECT_EQ(Names{"Stray"}, SubKeyNames(rootPath));
    EXPECT_FALSE(ReadValue(rootPath, nullptr).exists);
    EXPECT_FALSE(ReadValue(rootPath, paramValueName).exists);
}

TEST_F(StoreTest, MissingValuesReadAsDefaults) {
    ASSERT_TRUE(MakeKey(menusPath + "\\Bare"));
    ASSERT_TRUE(WriteValue(menusPath + "\\OnlyParam", paramValueName, REG_SZ, "-p"));
    SettingsKey key(settingsMaker, product.c_str());
    std::vector<ViewerEntry> entries = Store().Load();
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ("Bare", entries[0].title);
    EXPECT_EQ("", entries[0].command);
    EXPECT_EQ("", entries[0].parameters);
    EXPECT_EQ("OnlyParam", entries[1].title);
    EXPECT_EQ("", entries[1].command);
    EXPECT_EQ("-p", entries[1].parameters);

    const UniqueKey menus = key.OpenSubKey(menusKeyName);
    const UniqueKey bare = key.OpenSubKey("Bare", menus.Get());
    ASSERT_TRUE(bare);
    char buffer[16];
    EXPECT_FALSE(key.GetString(paramValueName, buffer, sizeof buffer, "fallback", bare.Get()));
    EXPECT_STREQ("fallback", buffer);
}

TEST_F(StoreTest, StringsAreStoredTerminatedAndReadBackInBothForms) {
    SettingsKey key(settingsMaker, product.c_str());
    // An empty text is one zero byte, not a value of no bytes that other readers misread.
    EXPECT_TRUE(key.SetString("Empty", ""));
    RegistryValue empty = ReadValue(rootPath, "Empty");
    EXPECT_TRUE(empty.exists);
    EXPECT_EQ(DWORD{REG_SZ}, empty.type);
    EXPECT_EQ(std::string(1, '\0'), empty.bytes);
    std::string text = "stale";
    EXPECT_TRUE(key.GetString("Empty", text, "default"));
    EXPECT_EQ("", text);
    EXPECT_TRUE(key.SetString("Text", "abc"));
    EXPECT_EQ(std::string("abc\0", 4), ReadValue(rootPath, "Text").bytes);

    // As earlier versions stored them: an empty text of zero bytes, and three bytes of
    // "abcX" without a terminator.
    EXPECT_TRUE(key.SetValue("Old", REG_SZ, reinterpret_cast<const BYTE*>(""), 0));
    text = "stale";
    EXPECT_TRUE(key.GetString("Old", text, "default"));
    EXPECT_EQ("", text);
    EXPECT_TRUE(key.SetValue("Bare", REG_SZ, reinterpret_cast<const BYTE*>("abcX"), 3));
    ASSERT_EQ(3u, ReadValue(rootPath, "Bare").bytes.size());
    char buffer[16];
    std::memset(buffer, 'Z', sizeof buffer);
    EXPECT_TRUE(key.GetString("Bare", buffer, sizeof buffer, "default"));
    EXPECT_STREQ("abc", buffer);
    // Exactly room for the text and a terminator of our own.
    std::memset(buffer, 'Z', sizeof buffer);
    EXPECT_TRUE(key.GetString("Bare", buffer, 4, "default"));
    EXPECT_STREQ("abc", buffer);
    // A stored terminator may take the last byte.
    EXPECT_TRUE(key.SetValue("Ended", REG_SZ, reinterpret_cast<const BYTE*>("abc"), 4));
    EXPECT_TRUE(key.GetString("Ended", buffer, 4, "default"));
    EXPECT_STREQ("abc", buffer);
}

TEST_F(StoreTest, OverlongValuesNeverOverrunTheBuffer) {
    SettingsKey key(settingsMaker, product.c_str());
    ASSERT_TRUE(key.SetString("Long", std::string(100, 'L').c_str()));
    ASSERT_TRUE(key.SetValue("Bare", REG_SZ, reinterpret_cast<const BYTE*>("abcX"), 3));

    struct Guarded {
        char buffer[8];
        char guard[8];
    } area;
    const auto guardIntact = [&area] {
        return std::string(area.guard, sizeof area.guard) == std::string(8, '\xCD');
    };

    std::memset(&area, '\xCD', sizeof area);
    EXPECT_FALSE(key.GetString("Long", area.buffer, sizeof area.buffer, "default"));
    EXPECT_STREQ("default", area.buffer);
    EXPECT_TRUE(guardIntact());

    // The default text is cut to fit.
    std::memset(&area, '\xCD', sizeof area);
    EXPECT_FALSE(key.GetString("Long", area.buffer, sizeof area.buffer, "far too long default"));
    EXPECT_STREQ("far too", area.buffer);
    EXPECT_TRUE(guardIntact());

    // Three bytes without a terminator do not fit three bytes.
    std::memset(&area, '\xCD', sizeof area);
    EXPECT_FALSE(key.GetString("Bare", area.buffer, 3, "default"));
    EXPECT_STREQ("de", area.buffer);

    std::memset(&area, '\xAA', sizeof area.buffer);
    DWORD type = 0;
    DWORD size = sizeof area.buffer;
    EXPECT_FALSE(key.QueryValue("Long", &type, reinterpret_cast<BYTE*>(area.buffer), &size));
    EXPECT_GE(size, 100u);
    EXPECT_EQ(std::string(8, '\xAA'), std::string(area.buffer, 8));
    EXPECT_TRUE(guardIntact());
    size = sizeof area.buffer;
    EXPECT_FALSE(key.QueryValue("Missing", &type, reinterpret_cast<BYTE*>(area.buffer), &size));
    EXPECT_EQ(0u, size);

    // The string form holds 1,023 characters.
    ASSERT_TRUE(key.SetString("Max", std::string(1023, 'M').c_str()));
    ASSERT_TRUE(key.SetString("Over", std::string(1024, 'O').c_str()));
    std::string value;
    EXPECT_TRUE(key.GetString("Max", value, "default"));
    EXPECT_EQ(std::string(1023, 'M'), value);
    EXPECT_FALSE(key.GetString("Over", value, "default"));
    EXPECT_EQ("default", value);
}

TEST_F(StoreTest, ValueOfAnotherTypeReadsAsTerminatedText) {
    SettingsKey key(settingsMaker, product.c_str());
    const DWORD number = 0x44434241; // the bytes "ABCD"
    ASSERT_TRUE(key.SetValue("Number", REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4));
    char area[16];
    std::memset(area, 'Z', sizeof area);
    EXPECT_TRUE(key.GetString("Number", area, 8, "default"));
    EXPECT_STREQ("ABCD", area);
    std::memset(area, 'Z', sizeof area);
    EXPECT_FALSE(key.GetString("Number", area, 4, "default"));
    EXPECT_STREQ("def", area);
    EXPECT_EQ(std::string(12, 'Z'), std::string(area + 4, 12));
}

TEST_F(StoreTest, CountSubKeysStopsAtTheFirstNameOf64Bytes) {
    SettingsKey key(settingsMaker, product.c_str());
    ASSERT_TRUE(MakeKey(menusPath + "\\" + std::string(63, 'a')));
    ASSERT_TRUE(MakeKey(menusPath + "\\c"));
    EXPECT_EQ(2, key.CountSubKeys(menusKeyName));
    ASSERT_TRUE(MakeKey(menusPath + "\\" + std::string(64, 'b')));
    EXPECT_EQ(1, key.CountSubKeys(menusKeyName));
    ASSERT_TRUE(MakeKey(menusPath + "\\" + std::string(70, '0')));
    EXPECT_EQ(0, key.CountSubKeys(menusKeyName));
    // The viewer list reads names of any length.
    EXPECT_EQ(4u, Store().Load().size());
}

TEST_F(StoreTest, DeleteSubKeyRemovesTheWholeTree) {
    ASSERT_TRUE(MakeKey(menusPath + "\\Text\\Nested\\Deeper"));
    ASSERT_TRUE(MakeKey(menusPath + "\\Hex"));
    ASSERT_TRUE(WriteValue(menusPath + "\\Hex", nullptr, REG_SZ, "hexdump.exe"));
    ASSERT_TRUE(MakeKey(rootPath + "\\Other"));
    SettingsKey key(settingsMaker, product.c_str());
    EXPECT_TRUE(key.DeleteSubKey(menusKeyName));
    EXPECT_FALSE(KeyExists(menusPath));
    EXPECT_TRUE(KeyExists(rootPath + "\\Other"));
    EXPECT_FALSE(key.DeleteSubKey(menusKeyName));
    // An empty name is not the parent itself.
    EXPECT_FALSE(key.DeleteSubKey(""));
    EXPECT_TRUE(KeyExists(rootPath + "\\Other"));
}

TEST_F(StoreTest, SavedOrderIsKeptAndIsNotTheRegistryOrder) {
    const std::vector<ViewerEntry> rows = {
        {"Zeta", "z.exe", "-z"}, {"alpha", "a.exe", ""}, {"Mid", "C:\\m m\\m.exe", "/x /y"}};
    ASSERT_TRUE(Save(rows));
    EXPECT_EQ((Names{"alpha", "Mid", "Zeta"}), SubKeyNames(menusPath));
    RegistryValue order = ReadValue(menusPath, orderValueName);
    EXPECT_EQ(DWORD{REG_MULTI_SZ}, order.type);
    EXPECT_EQ(std::string("Zeta\0alpha\0Mid\0\0", 16), order.bytes);

    SettingsKey key(settingsMaker, product.c_str());
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
    ASSERT_TRUE(Save({{"Beta", "b", ""}, {"Alpha", "a", ""}}));
    ASSERT_TRUE(MakeKey(menusPath + "\\Delta"));
    ASSERT_TRUE(MakeKey(menusPath + "\\Charlie"));
    EXPECT_EQ((Names{"Beta", "Alpha", "Charlie", "Delta"}), LoadedTitles());

    // Without any Order, as written by hand: the registry order.
    ASSERT_TRUE(WriteValue(menusPath, orderValueName, REG_SZ, "Delta"));
    EXPECT_EQ((Names{"Alpha", "Beta", "Charlie", "Delta"}), LoadedTitles());
}

TEST_F(StoreTest, OrderMatchesKeysWithoutRegardToCase) {
    ASSERT_TRUE(Save({{"A", "", ""}, {"B", "", ""}, {"C", "", ""}}));
    ASSERT_TRUE(
        WriteValue(menusPath, orderValueName, REG_MULTI_SZ, std::string("ghost\0c\0b\0C\0\0", 14)));
    // Names as the keys spell them; the ghost and the second "C" are ignored.
    EXPECT_EQ((Names{"C", "B", "A"}), LoadedTitles());

    // Double-byte titles whose second bytes differ only in case are different names.
    ASSERT_TRUE(Save({{katakanaDi, "di", ""}, {katakanaA, "a", ""}}));
    EXPECT_EQ((Names{katakanaDi, katakanaA}), LoadedTitles());
}

TEST_F(StoreTest, SavingATitleInAnotherCaseUpdatesTheSameKey) {
    // Plain letters, and full-width ones ("ａ" and "Ａ"), which the registry folds as well.
    for (const auto& [stored, saved] :
         {std::pair<std::string, std::string>{"text", "TEXT"}, {"\x82\x81", "\x82\x60"}}) {
        ASSERT_TRUE(Save({{stored, "old.exe", ""}}));
        ASSERT_TRUE(Save({{saved, "new.exe", "-n"}}));
        SettingsKey key(settingsMaker, product.c_str());
        std::vector<ViewerEntry> loaded = Store().Load();
        ASSERT_EQ(1u, loaded.size());
        EXPECT_EQ(stored, loaded[0].title);
        EXPECT_EQ("new.exe", loaded[0].command);
        EXPECT_EQ("-n", loaded[0].parameters);
    }
}

TEST_F(StoreTest, RenameAndRemovalLeaveExactlyTheSavedKeys) {
    ASSERT_TRUE(
        Save({{"Text", "notepad.exe", ""}, {"Hex", "hexdump.exe", "/r"}, {"Gone", "", ""}}));
    ASSERT_TRUE(MakeKey(menusPath + "\\Gone\\Nested"));
    ASSERT_TRUE(Save({{"Hex", "hexdump.exe", "/r"}, {"Plain text", "notepad.exe", ""}}));
    EXPECT_EQ((Names{"Hex", "Plain text"}), SubKeyNames(menusPath));
    EXPECT_EQ((Names{"Hex", "Plain text"}), LoadedTitles());

    ASSERT_TRUE(Save({}));
    EXPECT_TRUE(SubKeyNames(menusPath).empty());
    EXPECT_TRUE(LoadedTitles().empty());
}

TEST_F(StoreTest, FailedSavesLoseNothing) {
    const std::vector<ViewerEntry> before = {{"Text", "notepad.exe", "-t"}, {"Hex", "hex", ""}};
    const std::vector<ViewerEntry> after = {{"Hex", "hex", ""}, {"Renamed", "notepad.exe", "-t"}};
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

            SettingsKey key(settingsMaker, product.c_str());
            std::vector<ViewerEntry> loaded = Store().Load();
            std::set<std::string> titles;
            for (const ViewerEntry& entry : loaded) {
                titles.insert(entry.title);
                if (entry.title == "Text") {
                    EXPECT_EQ("notepad.exe", entry.command);
                }
            }
            EXPECT_TRUE(titles.count("Text") && titles.count("Hex"));
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
    const std::vector<ViewerEntry> before = {{"Text", "notepad.exe", "-t"}, {"Hex", "hex", ""}};
    const ViewerEntry renamed{"Renamed", "notepad.exe", "-r"};
    const ViewerEntry added{"Added", "add.exe", ""};
    using Edit = std::function<bool(ViewerStore&)>;
    const std::vector<std::pair<const char*, Edit>> edits = {
        {"add", [&](ViewerStore& store) { return store.Add(added); }},
        {"rename", [&](ViewerStore& store) { return store.Update("Text", renamed); }},
        {"edit in place",
         [&](ViewerStore& store) {
             return store.Update("Hex", {"Hex", "h2", "/2"});
         }},
        {"move", [&](ViewerStore& store) { return store.Move("Hex", -1); }},
        {"delete", [&](ViewerStore& store) { return store.Delete("Hex"); }},
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

                std::set<std::string> titles;
                for (const ViewerEntry& entry : Store().Load())
                    titles.insert(entry.title);
                EXPECT_TRUE(titles.count("Text") || titles.count("Renamed"));
                EXPECT_TRUE(titles.count("Hex") || std::string(name) == "delete");
                EXPECT_FALSE(ReadValue(menusPath, nullptr).exists);
                EXPECT_FALSE(ReadValue(rootPath, nullptr).exists);
            }
        }
    }
}

// A move writes the order and nothing else; an edit in place writes its viewer's values only.
TEST_F(StoreTest, MoveAndEditInPlaceTouchNoOtherValue) {
    ASSERT_TRUE(Save({{"A", "a", ""}, {"B", "b", ""}}));
    // What another program wrote meanwhile, in the old order's stead: no edit writes it back.
    ASSERT_TRUE(WriteValue(menusPath + "\\B", nullptr, REG_SZ, std::string("b2\0", 3)));
    faults = {};
    EXPECT_TRUE(Store().Move("B", -1));
    EXPECT_EQ(2, faults.calls) << "opening Menus and writing Order";
    EXPECT_EQ((Names{"B", "A"}), LoadedTitles());
    EXPECT_EQ(std::string("b2\0", 3), ReadValue(menusPath + "\\B", nullptr).bytes);

    faults = {};
    EXPECT_TRUE(Store().Update("a", {"A", "a3", "/3"}));
    EXPECT_EQ(4, faults.calls) << "opening Menus, the viewer's key and its two values";
    EXPECT_EQ((std::vector<ViewerEntry>{{"B", "b2", ""}, {"A", "a3", "/3"}}), Store().Load());
}

TEST_F(StoreTest, UnstorableTitlesAreSkippedWithoutDeletingKeys) {
    ASSERT_TRUE(Save({{"Kept", "k", ""}}));
    EXPECT_FALSE(Save({{"Good", "g", ""}, {"", "empty", "e"}, {"a\\b", "nested", ""}}));
    EXPECT_EQ((Names{"Good", "Kept"}), SubKeyNames(menusPath));
    EXPECT_FALSE(ReadValue(menusPath, nullptr).exists);
    EXPECT_FALSE(ReadValue(menusPath, paramValueName).exists);

    EXPECT_TRUE(IsStorableTitle(std::string(maxTitleChars, 'x')));
    EXPECT_FALSE(IsStorableTitle(std::string(maxTitleChars + 1, 'x')));
    std::string doubleByte;
    for (int i = 0; i < maxTitleChars; ++i)
        doubleByte += katakanaA;
    EXPECT_TRUE(IsStorableTitle(doubleByte));
    EXPECT_FALSE(IsStorableTitle(doubleByte + "x"));
    EXPECT_FALSE(IsStorableTitle(std::string("a\0b", 3)));
}

TEST_F(StoreTest, DeleteViewerRemovesItsKeyAndItsPlaceInOrder) {
    ASSERT_TRUE(Save({{"B", "b", ""}, {"A", "a", ""}, {"C", "c", ""}}));
    ASSERT_TRUE(MakeKey(menusPath + "\\B\\Nested"));
    SettingsKey key(settingsMaker, product.c_str());
    EXPECT_TRUE(Store().Delete("b"));
    EXPECT_EQ((Names{"A", "C"}), SubKeyNames(menusPath));
    EXPECT_EQ((Names{"A", "C"}), LoadedTitles());
    // Recreated by hand, B is no longer listed in front.
    ASSERT_TRUE(MakeKey(menusPath + "\\B"));
    EXPECT_EQ((Names{"A", "C", "B"}), LoadedTitles());

    EXPECT_FALSE(Store().Delete("Missing"));
    EXPECT_FALSE(Store().Delete(""));
    EXPECT_EQ((Names{"A", "C", "B"}), LoadedTitles());
}

} // namespace
