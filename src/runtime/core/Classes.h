#pragma once
// TStrings, the platform's abstract list of texts with attached objects, and TStringList, its
// stand-alone implementation (sorting, duplicates, change notification).
//
// An attached object is an untyped pointer the list carries along with its text: it moves with the
// text, is never freed by the list, and is dropped when the whole Text or CommaText is assigned.
#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace rt {

// Keeps BeginUpdate and EndUpdate paired on anything that has the two (string lists, collections, list
// items) when the block between them raises. An exception from EndUpdate itself (a change handler)
// reaches the caller, unless the block is already being left by an exception: that one goes on.
template <class List> class UpdateScope {
public:
    explicit UpdateScope(List& list) : FList(list), FUncaught(std::uncaught_exceptions()) {
        FList.BeginUpdate();
    }
    ~UpdateScope() noexcept(false) {
        if (std::uncaught_exceptions() == FUncaught) {
            FList.EndUpdate();
            return;
        }
        try {
            FList.EndUpdate();
        } catch (...) {
        }
    }
    UpdateScope(const UpdateScope&) = delete;
    UpdateScope& operator=(const UpdateScope&) = delete;

private:
    List& FList;
    int FUncaught;
};

class TStrings {
public:
    TStrings() = default;
    TStrings(const TStrings&) = delete;
    TStrings& operator=(const TStrings&) = delete;
    virtual ~TStrings() = default;

    // The primitives a concrete list provides. Indices are 0-based; a bad index raises
    // EStringListError "List index out of bounds (N)".
    virtual int Count() const = 0;
    virtual std::string Get(int index) const = 0;
    virtual void Put(int index, const std::string& s);
    virtual void* GetObject(int index) const;
    virtual void PutObject(int index, void* object);
    virtual void Insert(int index, const std::string& s) = 0;
    virtual void InsertObject(int index, const std::string& s, void* object);
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;

    virtual int Add(const std::string& s);
    virtual int AddObject(const std::string& s, void* object);
    void AddStrings(const TStrings& strings);
    // Copies the texts and objects of another list.
    virtual void Assign(const TStrings& source);
    virtual void Exchange(int index1, int index2);
    virtual void Move(int curIndex, int newIndex);
    bool Equals(const TStrings& other) const;

    std::string operator[](int index) const { return Get(index); }
    std::string Strings(int index) const { return Get(index); }
    void* Objects(int index) const { return GetObject(index); }

    // Searching. Texts compare without regard to case unless the list says otherwise.
    virtual int IndexOf(const std::string& s) const;
    int IndexOfName(const std::string& name) const;
    int IndexOfObject(const void* object) const;

    // Name=Value lines. The name is the text before the first '=', blanks included.
    std::string Names(int index) const; // "" when the line has no '='
    std::string Values(const std::string& name) const;
    void SetValue(const std::string& name, const std::string& value); // "" deletes the line
    std::string ValueFromIndex(int index) const;                      // "" when the line has no '='
    void SetValueFromIndex(int index, const std::string& value);

    // Every line followed by CR LF. Assigning splits at CR, LF or CR LF; a final break adds no line.
    std::string Text() const;
    virtual void SetText(std::string_view text);
    // Texts joined by ','; a text holding a blank, '"' or ',' is quoted, inner quotes doubled.
    std::string CommaText() const;
    void SetCommaText(std::string_view text);
    // CommaText with Delimiter and QuoteChar.
    std::string DelimitedText() const;
    void SetDelimitedText(std::string_view text);
    char Delimiter() const { return FDelimiter; }
    void SetDelimiter(char c) { FDelimiter = c; }
    char QuoteChar() const { return FQuoteChar; }
    void SetQuoteChar(char c) { FQuoteChar = c; }

    // UTF-8 files; a byte order mark is skipped on loading, lines end with CR LF on saving.
    // Failures raise EFOpenError / EFCreateError.
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;

    // Between BeginUpdate and the matching EndUpdate the list does not report changes.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

protected:
    // Compares two texts for IndexOf and the name look-ups; ignores case here.
    virtual int CompareStrings(const std::string& a, const std::string& b) const;
    // Called when the first BeginUpdate starts (true) and the last EndUpdate ends (false).
    virtual void SetUpdateState(bool updating);
    [[noreturn]] static void IndexError(int index);
    std::string DelimitedWith(char delimiter, char quote) const;
    void SetDelimitedWith(std::string_view text, char delimiter, char quote);

private:
    int FUpdateCount = 0;
    char FDelimiter = ',';
    char FQuoteChar = '"';
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
public:
    using TNotifyEvent = std::function<void(TStringList& sender)>;
    using TCompareFunc = std::function<int(const TStringList& list, int index1, int index2)>;

    TStringList() = default;
    ~TStringList() override = default;

    int Count() const override { return static_cast<int>(FItems.size()); }
    std::string Get(int index) const override;
    void Put(int index, const std::string& s) override;
    void* GetObject(int index) const override;
    void PutObject(int index, void* object) override;
    void Insert(int index, const std::string& s) override;
    void InsertObject(int index, const std::string& s, void* object) override;
    void Delete(int index) override;
    void Clear() override;
    int AddObject(const std::string& s, void* object) override;
    void Exchange(int index1, int index2) override;
    // Checks both indices (and that the list is not sorted) before anything moves.
    void Move(int curIndex, int newIndex) override;
    int IndexOf(const std::string& s) const override;

    // Binary search of a sorted list: true with the lowest matching index, or false with the index
    // where the text would be inserted.
    bool Find(const std::string& s, int& index) const;
    void Sort();
    // Orders the list by compare (negative, zero, positive), which is asked about the positions the
    // texts have before sorting. Equal texts keep their order. A Sorted list keeps its own order.
    void CustomSort(const TCompareFunc& compare);

    bool Sorted() const { return FSorted; }
    void SetSorted(bool value);
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool value);
    // How Add treats a text already in a sorted list.
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates value) { FDuplicates = value; }

    TNotifyEvent OnChanging; // before each change
    TNotifyEvent OnChange;   // after each change

protected:
    int CompareStrings(const std::string& a, const std::string& b) const override;
    void SetUpdateState(bool updating) override;
    virtual void Changing();
    virtual void Changed();

private:
    struct Item {
        std::string Text;
        void* Object = nullptr;
    };
    void CheckIndex(int index) const;
    void InsertItem(int index, const std::string& s, void* object);
    void SortBy(const TCompareFunc& compare);

    std::vector<Item> FItems;
    bool FSorted = false;
    bool FCaseSensitive = false;
    TDuplicates FDuplicates = dupIgnore;
};

} // namespace rt
