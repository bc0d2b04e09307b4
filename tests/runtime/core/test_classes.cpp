#include "core/Classes.h"
#include "core/Exceptions.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <unistd.h>

using namespace rt;

namespace {

std::vector<std::string> Items(const TStrings& list) {
    std::vector<std::string> items;
    for (int i = 0; i < list.Count(); ++i) items.push_back(list[i]);
    return items;
}

using Lines = std::vector<std::string>;

} // namespace

TEST(TStringListValues, NameValueLines) {
    TStringList list;
    list.SetText("a=b=c\nplain\nName With Space=1\n=empty name\nA=second");
    EXPECT_EQ(list.Values("a"), "b=c");
    EXPECT_EQ(list.Values("A"), "b=c"); // first match, ignoring case
    EXPECT_EQ(list.Values("Name With Space"), "1");
    EXPECT_EQ(list.Values("plain"), "");
    EXPECT_EQ(list.Values("missing"), "");
    EXPECT_EQ(list.IndexOfName("plain"), -1); // lines without '=' are skipped
    EXPECT_EQ(list.IndexOfName("NAME WITH SPACE"), 2);
    EXPECT_EQ(list.Names(0), "a");
    EXPECT_EQ(list.Names(1), "");
    EXPECT_EQ(list.ValueFromIndex(0), "b=c");
    EXPECT_EQ(list.ValueFromIndex(1), "");

    list.SetValue("a", "new");
    list.SetValue("added", "x");
    EXPECT_EQ(list[0], "a=new");
    EXPECT_EQ(list[list.Count() - 1], "added=x");

    list.SetValue("A", ""); // an empty value deletes the first matching line
    EXPECT_EQ(Items(list), (Lines{"plain", "Name With Space=1", "=empty name", "A=second", "added=x"}));
    list.SetValue("nothing", "");
    EXPECT_EQ(list.Count(), 5);

    list.SetValueFromIndex(0, "v");
    EXPECT_EQ(list[0], "=v");
    list.SetValueFromIndex(0, "");
    EXPECT_EQ(list[0], "Name With Space=1");
}

TEST(TStringListValues, CaseSensitiveNames) {
    TStringList list;
    list.SetCaseSensitive(true);
    list.Add("Key=1");
    EXPECT_EQ(list.Values("key"), "");
    EXPECT_EQ(list.Values("Key"), "1");
    EXPECT_EQ(list.IndexOf("key=1"), -1);
}

TEST(TStringListText, CommaTextQuotesAndSplits) {
    TStringList list;
    for (const char* s : {"a", "", "b c", "d,e", "f\"g", "tab\there"}) list.Add(s);
    EXPECT_EQ(list.CommaText(), "a,,\"b c\",\"d,e\",\"f\"\"g\",\"tab\there\"");

    TStringList copy;
    copy.SetCommaText(list.CommaText());
    EXPECT_EQ(Items(copy), Items(list));

    const struct {
        const char* text;
        Lines items;
    } cases[] = {
        {"a b,\"c d\",e", {"a", "b", "c d", "e"}},
        {"a,,b", {"a", "", "b"}},
        {"  a ,  b  ", {"a", "b"}},
        {"a,", {"a", ""}},
        {"\"x\"\"y\"", {"x\"y"}},
        {"\"open", {"open"}},
        {"\"ab\"cd", {"ab", "cd"}},
        {"\"\"", {""}},
        {"", {}},
        {"   ", {}},
    };
    for (const auto& c : cases) {
        copy.SetCommaText(c.text);
        EXPECT_EQ(Items(copy), c.items) << c.text;
    }

    TStringList single;
    single.Add("");
    EXPECT_EQ(single.CommaText(), "\"\"");
    single.Clear();
    EXPECT_EQ(single.CommaText(), "");
}

TEST(TStringListText, DelimitedTextUsesItsOwnCharacters) {
    TStringList list;
    list.SetDelimiter(';');
    list.SetQuoteChar('\'');
    list.SetDelimitedText("a;'b;c';'it''s';d,e");
    EXPECT_EQ(Items(list), (Lines{"a", "b;c", "it's", "d,e"}));
    EXPECT_EQ(list.DelimitedText(), "a;'b;c';'it''s';d,e");
}

TEST(TStringListText, TextSplitsOnAnyLineBreak) {
    const struct {
        const char* text;
        Lines items;
    } cases[] = {
        {"a\r\n\r\n", {"a", ""}},
        {"a\rb\nc\r\nd", {"a", "b", "c", "d"}},
        {"a\n\rb", {"a", "", "b"}},
        {"", {}},
        {"\n", {""}},
        {"no break", {"no break"}},
    };
    TStringList list;
    for (const auto& c : cases) {
        list.SetText(c.text);
        EXPECT_EQ(Items(list), c.items) << c.text;
    }
    list.SetText("x\ny");
    EXPECT_EQ(list.Text(), "x\r\ny\r\n");
}

TEST(TStringListSorted, FindGivesTheLowestMatchOrTheInsertionPoint) {
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(dupAccept);
    for (const char* s : {"pear", "Apple", "fig", "apple", "APPLE", "kiwi"}) list.Add(s);
    int index = -1;
    EXPECT_TRUE(list.Find("aPPle", index));
    EXPECT_EQ(index, 0);
    EXPECT_TRUE(list.Find("KIWI", index));
    EXPECT_EQ(list[index], "kiwi");
    EXPECT_FALSE(list.Find("grape", index));
    EXPECT_EQ(index, 4); // Apple apple APPLE fig | kiwi pear
    EXPECT_FALSE(list.Find("zzz", index));
    EXPECT_EQ(index, list.Count());
    EXPECT_EQ(list.IndexOf("FIG"), 3);
    EXPECT_EQ(list.IndexOf("grape"), -1);

    TStringList empty;
    empty.SetSorted(true);
    EXPECT_FALSE(empty.Find("a", index));
    EXPECT_EQ(index, 0);
}

TEST(TStringListSorted, DuplicatesPolicies) {
    TStringList list;
    list.SetSorted(true);
    EXPECT_EQ(list.Add("b"), 0);
    EXPECT_EQ(list.Add("a"), 0);
    EXPECT_EQ(list.Add("B"), 1); // ignored: returns the existing index
    EXPECT_EQ(Items(list), (Lines{"a", "b"}));

    list.SetDuplicates(dupError);
    EXPECT_THROW(list.Add("A"), EStringListError);
    EXPECT_EQ(list.Count(), 2);

    list.SetDuplicates(dupAccept);
    list.Add("A");
    EXPECT_EQ(list.Count(), 3);

    // Order-changing edits are refused on a sorted list, and nothing is lost.
    EXPECT_THROW(list.Insert(0, "z"), EStringListError);
    EXPECT_THROW(list.Put(0, "z"), EStringListError);
    EXPECT_THROW(list.Move(0, 2), EStringListError);
    EXPECT_EQ(list.Count(), 3);

    TStringList caseSensitive;
    caseSensitive.SetCaseSensitive(true);
    caseSensitive.SetSorted(true);
    caseSensitive.Add("a");
    caseSensitive.Add("A");
    EXPECT_EQ(Items(caseSensitive), (Lines{"A", "a"}));
}

TEST(TStringListObjects, MoveWithTheirTextsAndAreNeverFreed) {
    int one = 1, two = 2, three = 3;
    TStringList list;
    list.AddObject("c", &three);
    list.AddObject("a", &one);
    list.AddObject("b", &two);
    list.Sort();
    EXPECT_EQ(Items(list), (Lines{"a", "b", "c"}));
    EXPECT_EQ(list.Objects(0), &one);
    EXPECT_EQ(list.Objects(2), &three);
    list.Exchange(0, 2);
    EXPECT_EQ(list.Objects(0), &three);
    EXPECT_EQ(list.IndexOfObject(&one), 2);
    list.Move(2, 0);
    EXPECT_EQ(Items(list), (Lines{"a", "c", "b"}));
    EXPECT_EQ(list.Objects(0), &one);
    list.Put(0, "A"); // replacing the text keeps the object
    EXPECT_EQ(list.Objects(0), &one);

    TStringList copy;
    copy.Assign(list);
    EXPECT_EQ(copy.Objects(1), &three);

    list.SetText("x\ny");
    EXPECT_EQ(list.Objects(0), nullptr);
    copy.SetCommaText("p,q");
    EXPECT_EQ(copy.IndexOfObject(&three), -1);

    list.CustomSort([](const TStringList& l, int a, int b) {
        return static_cast<int>(l[b].size()) - static_cast<int>(l[a].size());
    });
}

TEST(TStringListEdits, CustomSortAndAddStrings) {
    TStringList list;
    list.SetCommaText("ccc,a,bb,dd");
    list.CustomSort([](const TStringList& l, int a, int b) {
        return static_cast<int>(l[a].size()) - static_cast<int>(l[b].size());
    });
    EXPECT_EQ(Items(list), (Lines{"a", "bb", "dd", "ccc"})); // equal lengths keep their order

    list.AddStrings(list);
    EXPECT_EQ(list.Count(), 8);
    list.Assign(list);
    EXPECT_EQ(list.Count(), 8);
    TStringList other;
    other.Assign(list);
    EXPECT_TRUE(other.Equals(list));
}

TEST(TStringListEdits, BadIndicesRaiseWithTheIndex) {
    TStringList list;
    list.SetCommaText("a,b");
    try {
        list.Get(5);
        FAIL();
    } catch (const EStringListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (5)");
    }
    EXPECT_THROW(list.Get(-1), EStringListError);
    EXPECT_THROW(list.Delete(2), EStringListError);
    EXPECT_THROW(list.Put(2, "x"), EStringListError);
    EXPECT_THROW(list.Insert(3, "x"), EStringListError);
    EXPECT_THROW(list.Exchange(0, 2), EStringListError);
    EXPECT_THROW(list.Move(0, 2), EStringListError);
    EXPECT_THROW(list.Objects(2), EStringListError);
    EXPECT_THROW(list.ValueFromIndex(-1), EStringListError);
    EXPECT_EQ(Items(list), (Lines{"a", "b"}));
    list.Insert(2, "c"); // inserting at Count appends
    EXPECT_EQ(list[2], "c");
}

TEST(TStringListEdits, AnExceptionFromOnChangeAtTheEndOfAnUpdateReachesTheCaller) {
    TStringList source;
    source.Add("a");
    TStringList list;
    list.OnChange = [](TStringList&) { throw Exception("refused"); };
    EXPECT_THROW(list.AddStrings(source), Exception);
    EXPECT_EQ(list.UpdateCount(), 0);
    EXPECT_THROW(list.SetText("b\nc"), Exception);
    EXPECT_EQ(list.UpdateCount(), 0);
}

TEST(TStringListEdits, ChangeEventsAreBatchedByUpdates) {
    TStringList list;
    int changing = 0, changed = 0;
    list.OnChanging = [&](TStringList&) { ++changing; };
    list.OnChange = [&](TStringList&) { ++changed; };
    list.Add("a");
    list.Delete(0);
    EXPECT_EQ(changed, 2);
    EXPECT_EQ(changing, 2);

    list.SetText("a\nb\nc");
    EXPECT_EQ(changed, 3);
    list.BeginUpdate();
    list.Add("d");
    list.Add("e");
    list.BeginUpdate();
    list.Clear();
    list.EndUpdate();
    EXPECT_EQ(changed, 3);
    list.EndUpdate();
    EXPECT_EQ(changed, 4);
    list.EndUpdate(); // unbalanced: ignored
    EXPECT_EQ(list.UpdateCount(), 0);

    // A raising change still closes its update.
    list.SetSorted(true);
    list.SetDuplicates(dupError);
    list.Add("x");
    EXPECT_THROW(list.SetCommaText("y,y"), EStringListError);
    EXPECT_EQ(list.UpdateCount(), 0);
}

TEST(TStringListFiles, SaveWritesCrLfAndLoadAcceptsAnyBreak) {
    char pattern[] = "/tmp/kvx_strings_XXXXXX";
    const int fd = mkstemp(pattern);
    ASSERT_GE(fd, 0);
    close(fd);
    const std::string file = pattern;

    TStringList list;
    list.SetCommaText("一,two");
    list.SaveToFile(file);
    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "一\r\ntwo\r\n");

    std::ofstream(file, std::ios::binary) << "\xEF\xBB\xBFx\ny\r\nz";
    list.LoadFromFile(file);
    EXPECT_EQ(Items(list), (Lines{"x", "y", "z"}));
    std::remove(file.c_str());

    EXPECT_THROW(list.LoadFromFile(file), EFOpenError);
    EXPECT_EQ(list.Count(), 3); // a failed load keeps the list
    EXPECT_THROW(list.SaveToFile("/nonexistent-dir/x.txt"), EFCreateError);
}
