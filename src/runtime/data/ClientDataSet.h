#pragma once
// The platform's client dataset: the rows a provider of the application server delivers, kept locally,
// with a cursor, fields by name, an index on named fields with key search, and edit/post of the local
// rows (nothing is written back to the server).
//
// A provider is asked for its rows with the call AS_GetRecords(ProviderName) on the application
// server. The answer is a Variant array [names, rows]: names a one-dimensional array of the field names,
// rows a two-dimensional array indexed [record, field] (docs/wire-protocol.md, "Providers").
#include "core/Exceptions.h"
#include "core/Variant.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace rt {

KVRT_EXCEPTION(EDatabaseError, Exception)

class TSocketConnection;
class TClientDataSet;

enum TDataSetState { dsInactive, dsBrowse, dsEdit };

// Locate options (a set: combine with |).
enum TLocateOption : unsigned { loCaseInsensitive = 1, loPartialKey = 2 };

// A field of the dataset: reads and writes the current record.
class TField {
public:
    TField(TClientDataSet* owner, int index, std::string name)
        : FOwner(owner), FIndex(index), FName(std::move(name)) {}

    const std::string& FieldName() const { return FName; }
    int Index() const { return FIndex; }

    Variant Value() const; // Null when there is no current record
    Variant AsVariant() const { return Value(); }
    std::string AsString() const; // VarToStr: Null gives ""
    std::u16string AsWideString() const;
    TDateTime AsDateTime() const;
    int32_t AsInteger() const;
    bool IsNull() const;

    // Writes need the dataset in edit state.
    void SetValue(const Variant& v);
    void SetAsVariant(const Variant& v) { SetValue(v); }
    void SetAsString(const std::string& s) { SetValue(Variant(s)); }
    void SetAsDateTime(TDateTime d) { SetValue(Variant(d)); }

private:
    TClientDataSet* FOwner;
    int FIndex;
    std::string FName;
};

class TClientDataSet {
public:
    TClientDataSet() = default;
    TClientDataSet(const TClientDataSet&) = delete;
    TClientDataSet& operator=(const TClientDataSet&) = delete;

    // Where the provider lives: a socket connection (its AppServer, connecting it when needed), or an
    // application-server object given directly.
    TSocketConnection* RemoteServer() const { return FRemoteServer; }
    void SetRemoteServer(TSocketConnection* connection);
    void SetAppServer(const Variant& server);
    const std::string& ProviderName() const { return FProviderName; }
    void SetProviderName(const std::string& name);

    // "A;B;C": the records are ordered on these fields (texts by code unit, numbers and dates by value,
    // Null and empty first). Empty: the provider's order.
    const std::string& IndexFieldNames() const { return FIndexFieldNames; }
    void SetIndexFieldNames(const std::string& names);

    void Open();
    void Close();
    bool Active() const { return FState != dsInactive; }
    void SetActive(bool value);
    TDataSetState State() const { return FState; }

    void First();
    void Last();
    void Next();
    void Prior();
    bool Eof() const { return FEof; }
    bool Bof() const { return FBof; }
    int RecordCount() const;
    int RecNo() const; // 1-based position in index order; -1 without records
    void SetRecNo(int recNo);

    int FieldCount() const { return static_cast<int>(FFields.size()); }
    TField& Fields(int index);
    TField* FindField(const std::string& name);   // ignoring case; nullptr when absent
    TField& FieldByName(const std::string& name); // raises EDatabaseError when absent

    // Key search on the fields of the current index: the first record whose first N index fields
    // equal the N values given. Moves there and answers true, else stays and answers false.
    bool FindKey(const std::vector<Variant>& keyValues);
    bool FindKey(std::initializer_list<Variant> keyValues) {
        return FindKey(std::vector<Variant>(keyValues));
    }
    // Search on any fields ("A;B"), values one Variant or an array of them, in index order.
    bool Locate(const std::string& fieldNames, const Variant& values, unsigned options = 0);

    // Local editing of the current record.
    void Edit();
    void Post();
    void Cancel();

private:
    friend class TField;
    const Variant& CurrentValue(int field) const;
    void SetCurrentValue(int field, const Variant& v);
    void CheckActive() const;
    void CheckBrowseMode();
    void Load(const Variant& packet);
    void Sort();
    std::vector<int> FieldIndexes(const std::string& names) const;
    void MoveTo(size_t position);

    TSocketConnection* FRemoteServer = nullptr;
    Variant FAppServer;
    std::string FProviderName;
    std::string FIndexFieldNames;
    TDataSetState FState = dsInactive;

    std::vector<std::unique_ptr<TField>> FFields;
    std::vector<std::vector<Variant>> FRows;
    std::vector<size_t> FOrder; // FRows indexes in index order
    std::vector<int> FIndexFields;
    size_t FPos = 0; // position in FOrder
    bool FEof = true;
    bool FBof = true;
    std::vector<Variant> FEditBuffer;
};

} // namespace rt
