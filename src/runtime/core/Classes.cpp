#include "core/Classes.h"

#include "core/Exceptions.h"
#include "core/SysUtils.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <numeric>

namespace rt {

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

} // namespace

// ---- TStrings ----------------------------------------------------------------------------------------

void TStrings::IndexError(int index) {
    throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
}

void TStrings::Put(int index, const std::string& s) {
    void* object = GetObject(index);
    UpdateScope update(*this);
    Delete(index);
    InsertObject(index, s, object);
}

void* TStrings::GetObject(int) const {
    return nullptr;
}

void TStrings::PutObject(int, void*) {}

void TStrings::InsertObject(int index, const std::string& s, void* object) {
    UpdateScope update(*this);
    Insert(index, s);
    PutObject(index, object);
}

int TStrings::Add(const std::string& s) {
    return AddObject(s, nullptr);
}

int TStrings::AddObject(const std::string& s, void* object) {
    const int index = Count();
    InsertObject(index, s, object);
    return index;
}

void TStrings::AddStrings(const TStrings& strings) {
    // A copy first: the source may be this list.
    std::vector<std::pair<std::string, void*>> items;
    for (int i = 0; i < strings.Count(); ++i) items.emplace_back(strings.Get(i), strings.GetObject(i));
    UpdateScope update(*this);
    for (const auto& [text, object] : items) AddObject(text, object);
}

void TStrings::Assign(const TStrings& source) {
    if (&source == this) return;
    UpdateScope update(*this);
    Clear();
    AddStrings(source);
}

void TStrings::Exchange(int index1, int index2) {
    UpdateScope update(*this);
    const std::string text1 = Get(index1);
    void* object1 = GetObject(index1);
    const std::string text2 = Get(index2);
    void* object2 = GetObject(index2);
    Put(index1, text2);
    PutObject(index1, object2);
    Put(index2, text1);
    PutObject(index2, object1);
}

void TStrings::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex) return;
    if (newIndex < 0 || newIndex >= Count()) IndexError(newIndex);
    UpdateScope update(*this);
    const std::string text = Get(curIndex);
    void* object = GetObject(curIndex);
    Delete(curIndex);
    InsertObject(newIndex, text, object);
}

bool TStrings::Equals(const TStrings& other) const {
    if (Count() != other.Count()) return false;
    for (int i = 0; i < Count(); ++i)
        if (Get(i) != other.Get(i)) return false;
    return true;
}

int TStrings::CompareStrings(const std::string& a, const std::string& b) const {
    return AnsiCompareText(a, b);
}

int TStrings::IndexOf(const std::string& s) const {
    for (int i = 0; i < Count(); ++i)
        if (CompareStrings(Get(i), s) == 0) return i;
    return -1;
}

int TStrings::IndexOfName(const std::string& name) const {
    for (int i = 0; i < Count(); ++i) {
        const std::string line = Get(i);
        const size_t eq = line.find('=');
        if (eq != std::string::npos && CompareStrings(line.substr(0, eq), name) == 0) return i;
    }
    return -1;
}

int TStrings::IndexOfObject(const void* object) const {
    for (int i = 0; i < Count(); ++i)
        if (GetObject(i) == object) return i;
    return -1;
}

std::string TStrings::Names(int index) const {
    const std::string line = Get(index);
    const size_t eq = line.find('=');
    return eq == std::string::npos ? "" : line.substr(0, eq);
}

std::string TStrings::Values(const std::string& name) const {
    const int index = IndexOfName(name);
    return index < 0 ? "" : ValueFromIndex(index);
}

void TStrings::SetValue(const std::string& name, const std::string& value) {
    const int index = IndexOfName(name);
    if (!value.empty()) {
        if (index < 0)
            Add(name + "=" + value);
        else
            Put(index, name + "=" + value);
    } else if (index >= 0) {
        Delete(index);
    }
}

std::string TStrings::ValueFromIndex(int index) const {
    const std::string line = Get(index);
    const size_t eq = line.find('=');
    return eq == std::string::npos ? "" : line.substr(eq + 1);
}

void TStrings::SetValueFromIndex(int index, const std::string& value) {
    if (!value.empty())
        Put(index, Names(index) + "=" + value);
    else
        Delete(index);
}

std::string TStrings::Text() const {
    std::string text;
    for (int i = 0; i < Count(); ++i) text.append(Get(i)).append("\r\n");
    return text;
}

void TStrings::SetText(std::string_view text) {
    UpdateScope update(*this);
    Clear();
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            Add(std::string(text.substr(start)));
            break;
        }
        Add(std::string(text.substr(start, end - start)));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }
}

std::string TStrings::DelimitedWith(char delimiter, char quote) const {
    if (Count() == 1 && Get(0).empty()) return std::string(2, quote);
    std::string out;
    for (int i = 0; i < Count(); ++i) {
        const std::string item = Get(i);
        if (i > 0) out += delimiter;
        const bool needsQuotes = std::any_of(
            item.begin(), item.end(), [&](char c) { return IsBlank(c) || c == quote || c == delimiter; });
        out += needsQuotes ? AnsiQuotedStr(item, quote) : item;
    }
    return out;
}

void TStrings::SetDelimitedWith(std::string_view text, char delimiter, char quote) {
    UpdateScope update(*this);
    Clear();
    size_t p = 0;
    auto skipBlanks = [&] {
        while (p < text.size() && IsBlank(text[p])) ++p;
    };
    skipBlanks();
    while (p < text.size()) {
        std::string item;
        if (text[p] == quote) {
            // A quoted item: doubled quotes stand for one; it ends at a single quote (or the text).
            ++p;
            while (p < text.size()) {
                if (text[p] == quote) {
                    if (p + 1 < text.size() && text[p + 1] == quote) {
                        item += quote;
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += text[p++];
            }
        } else {
            const size_t start = p;
            while (p < text.size() && !IsBlank(text[p]) && text[p] != delimiter) ++p;
            item = std::string(text.substr(start, p - start));
        }
        Add(item);
        skipBlanks();
        if (p < text.size() && text[p] == delimiter) {
            if (p + 1 == text.size()) Add(""); // a delimiter at the end leaves an empty last item
            ++p;
            skipBlanks();
        }
    }
}

std::string TStrings::CommaText() const {
    return DelimitedWith(',', '"');
}

void TStrings::SetCommaText(std::string_view text) {
    SetDelimitedWith(text, ',', '"');
}

std::string TStrings::DelimitedText() const {
    return DelimitedWith(FDelimiter, FQuoteChar);
}

void TStrings::SetDelimitedText(std::string_view text) {
    SetDelimitedWith(text, FDelimiter, FQuoteChar);
}

void TStrings::LoadFromFile(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) throw EFOpenError("Cannot open file \"" + fileName + "\"");
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw EFOpenError("Cannot read file \"" + fileName + "\"");
    std::string_view text(content);
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    SetText(text);
}

void TStrings::SaveToFile(const std::string& fileName) const {
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    if (!out) throw EFCreateError("Cannot create file \"" + fileName + "\"");
    const std::string text = Text();
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) throw EFCreateError("Cannot write file \"" + fileName + "\"");
}

void TStrings::BeginUpdate() {
    if (FUpdateCount == 0) SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate() {
    if (FUpdateCount == 0) return;
    if (--FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

// ---- TStringList -------------------------------------------------------------------------------------

void TStringList::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) IndexError(index);
}

void TStringList::Changing() {
    if (UpdateCount() == 0 && OnChanging) OnChanging(*this);
}

void TStringList::Changed() {
    if (UpdateCount() == 0 && OnChange) OnChange(*this);
}

void TStringList::SetUpdateState(bool updating) {
    if (updating)
        Changing();
    else
        Changed();
}

std::string TStringList::Get(int index) const {
    CheckIndex(index);
    return FItems[index].Text;
}

void TStringList::Put(int index, const std::string& s) {
    if (FSorted) throw EStringListError("Operation not allowed on sorted list");
    CheckIndex(index);
    Changing();
    FItems[index].Text = s;
    Changed();
}

void* TStringList::GetObject(int index) const {
    CheckIndex(index);
    return FItems[index].Object;
}

void TStringList::PutObject(int index, void* object) {
    CheckIndex(index);
    Changing();
    FItems[index].Object = object;
    Changed();
}

void TStringList::InsertItem(int index, const std::string& s, void* object) {
    Changing();
    FItems.insert(FItems.begin() + index, Item{s, object});
    Changed();
}

void TStringList::Insert(int index, const std::string& s) {
    InsertObject(index, s, nullptr);
}

void TStringList::InsertObject(int index, const std::string& s, void* object) {
    if (FSorted) throw EStringListError("Operation not allowed on sorted list");
    if (index < 0 || index > Count()) IndexError(index);
    InsertItem(index, s, object);
}

int TStringList::AddObject(const std::string& s, void* object) {
    int index = Count();
    if (FSorted && Find(s, index)) {
        if (FDuplicates == dupIgnore) return index;
        if (FDuplicates == dupError) throw EStringListError("String list does not allow duplicates");
    }
    InsertItem(index, s, object);
    return index;
}

void TStringList::Delete(int index) {
    CheckIndex(index);
    Changing();
    FItems.erase(FItems.begin() + index);
    Changed();
}

void TStringList::Clear() {
    if (FItems.empty()) return;
    Changing();
    FItems.clear();
    Changed();
}

void TStringList::Exchange(int index1, int index2) {
    CheckIndex(index1);
    CheckIndex(index2);
    Changing();
    std::swap(FItems[index1], FItems[index2]);
    Changed();
}

void TStringList::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex) return;
    if (FSorted) throw EStringListError("Operation not allowed on sorted list");
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    Changing();
    Item item = std::move(FItems[curIndex]);
    FItems.erase(FItems.begin() + curIndex);
    FItems.insert(FItems.begin() + newIndex, std::move(item));
    Changed();
}

int TStringList::CompareStrings(const std::string& a, const std::string& b) const {
    return FCaseSensitive ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

int TStringList::IndexOf(const std::string& s) const {
    if (!FSorted) return TStrings::IndexOf(s);
    int index;
    return Find(s, index) ? index : -1;
}

bool TStringList::Find(const std::string& s, int& index) const {
    int low = 0, high = Count();
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (CompareStrings(FItems[mid].Text, s) < 0)
            low = mid + 1;
        else
            high = mid;
    }
    index = low;
    return low < Count() && CompareStrings(FItems[low].Text, s) == 0;
}

void TStringList::SortBy(const TCompareFunc& compare) {
    if (Count() < 2) return;
    std::vector<int> order(FItems.size());
    std::iota(order.begin(), order.end(), 0);
    // Stable, and never outside the list even if compare is not a consistent order.
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(*this, a, b) < 0; });
    Changing();
    std::vector<Item> sorted;
    sorted.reserve(FItems.size());
    for (int i : order) sorted.push_back(std::move(FItems[i]));
    FItems = std::move(sorted);
    Changed();
}

void TStringList::Sort() {
    SortBy([](const TStringList& list, int a, int b) {
        return list.CompareStrings(list.FItems[a].Text, list.FItems[b].Text);
    });
}

void TStringList::CustomSort(const TCompareFunc& compare) {
    if (!FSorted) SortBy(compare);
}

void TStringList::SetSorted(bool value) {
    if (value == FSorted) return;
    if (value) Sort();
    FSorted = value;
}

void TStringList::SetCaseSensitive(bool value) {
    if (value == FCaseSensitive) return;
    FCaseSensitive = value;
    if (FSorted) Sort();
}

} // namespace rt
