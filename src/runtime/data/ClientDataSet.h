#pragma once
// The platform's client dataset: the rows a provider of the application server delivers, kept locally,
// with a cursor, fields by name, an index on named fields with key search, and edit/post of the local
// rows (nothing is written back to the server).
//
// A provider is asked for its rows with the call AS_GetRecords(ProviderName) on the application
// server. The answer is a Variant array [names, rows]: names a one-dimensional array of the field names,
// rows a two-dimensional array indexed [record, field] (docs/wire-protocol.md, "Providers"); an optional
// third element names the field types.
//
// TClientDataSet is a component (owner, Name) so that form resources can declare it: ProviderName,
// RemoteServer (a reference to a TSocketConnection, cleared when that connection is freed),
// IndexFieldNames, IndexDefs + IndexName, Active (from a resource it takes effect in Loaded).
#include "core/Exceptions.h"
#include "core/Variant.h"
#include "rtti/Method.h"
#include "ui/Collections.h"
#include "ui/Component.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace rt {

KVRT_EXCEPTION(EDatabaseError, Exception)

class TSocketConnection;
class TClientDataSet;
class TField;

enum TDataSetState { dsInactive, dsBrowse, dsEdit };

// Locate options (a set: combine with |).
enum TLocateOption : unsigned { loCaseInsensitive = 1, loPartialKey = 2 };

KVRT_ENUM(TFieldType, ftUnknown, ftString, ftWideString, ftMemo, ftInteger, ftFloat, ftDateTime, ftBoolean)

// Text conversion hooks: OnGetText fills Text (DisplayText: for showing rather than editing);
// OnSetText stores Text in the field itself.
KVRT_EVENT(TFieldGetTextEvent, void(TField* Sender, std::string& Text, bool DisplayText))
KVRT_EVENT(TFieldSetTextEvent, void(TField* Sender, const std::string& Text))

// A field of the dataset: reads and writes the current record. The fields exist while the dataset is
// open; closing it frees them.
class TField : public TPersistent {
    KVRT_CLASS(TField, TPersistent)
public:
    TField(TClientDataSet* owner, int index, std::string name, TFieldType dataType = ftUnknown)
        : FOwner(owner), FIndex(index), FName(std::move(name)), FDataType(dataType) {}

    const std::string& FieldName() const { return FName; }
    int Index() const { return FIndex; }
    TClientDataSet* DataSet() const { return FOwner; }
    TFieldType DataType() const { return FDataType; }
    bool IsStringField() const { return FDataType == ftString || FDataType == ftWideString; }

    // The caption shown for the field; the field name until set (setting "" restores that).
    const std::string& DisplayLabel() const { return FDisplayLabel.empty() ? FName : FDisplayLabel; }
    void SetDisplayLabel(const std::string& label) { FDisplayLabel = label; }

    TFieldGetTextEvent OnGetText;
    TFieldSetTextEvent OnSetText;
    // The value as text, through OnGetText when assigned (which then starts from ""), else AsString.
    std::string Text() const { return GetText(false); }
    std::string DisplayText() const { return GetText(true); }
    // Through OnSetText when assigned; else "" stores Null and other texts are converted to the field's
    // type (integers, floats and booleans parsed; EConvertError when they do not parse).
    void SetText(const std::string& text);

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
    std::string GetText(bool displayText) const;

    TClientDataSet* FOwner;
    int FIndex;
    std::string FName;
    TFieldType FDataType;
    std::string FDisplayLabel;
};

// A named index: Fields = "A;B;C".
class TIndexDef : public TCollectionItem {
    KVRT_CLASS(TIndexDef, TCollectionItem)
public:
    explicit TIndexDef(TCollection* collection) : TCollectionItem(collection) {}
    const std::string& Name() const { return FName; }
    void SetName(const std::string& name) { FName = name; }
    const std::string& Fields() const { return FFields; }
    void SetFields(const std::string& fields) { FFields = fields; }
    std::string DisplayName() const override { return FName; }
    void Assign(const TPersistent* source) override;

private:
    std::string FName;
    std::string FFields;
};

class TIndexDefs : public TOwnedCollection<TIndexDef> {
    KVRT_CLASS(TIndexDefs, TOwnedCollection<TIndexDef>)
public:
    explicit TIndexDefs(TPersistent* owner) : TOwnedCollection<TIndexDef>(owner) {}
    // The index of that name (ignoring case), or null.
    TIndexDef* Find(const std::string& name) const;
};

class TClientDataSet : public TComponent {
    KVRT_CLASS(TClientDataSet, TComponent)
public:
    explicit TClientDataSet(TComponent* AOwner = nullptr);
    ~TClientDataSet() override;
    TClientDataSet(const TClientDataSet&) = delete;
    TClientDataSet& operator=(const TClientDataSet&) = delete;

    // Where the provider lives: a socket connection (its AppServer, connecting it when needed), or an
    // application-server object given directly.
    TSocketConnection* RemoteServer() const { return FRemoteServer.get(); }
    void SetRemoteServer(TSocketConnection* connection);
    void SetAppServer(const Variant& server);
    const std::string& ProviderName() const { return FProviderName; }
    void SetProviderName(const std::string& name);

    // "A;B;C": the records are ordered on these fields (texts by code unit, numbers and dates by value,
    // Null and empty first). Empty: the provider's order.
    const std::string& IndexFieldNames() const { return FIndexFieldNames; }
    void SetIndexFieldNames(const std::string& names);
    // The named indexes; IndexName picks one of them (and clears IndexFieldNames, as setting
    // IndexFieldNames clears IndexName). Opening with an IndexName not among IndexDefs raises.
    TIndexDefs* IndexDefs() const { return FIndexDefs; }
    void SetIndexDefs(TIndexDefs* defs) { FIndexDefs->Assign(defs); }
    const std::string& IndexName() const { return FIndexName; }
    void SetIndexName(const std::string& name);

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

    // Counted: controls showing the dataset are not updated while ControlsDisabled.
    void DisableControls() { ++FDisableCount; }
    void EnableControls() {
        if (FDisableCount > 0) --FDisableCount;
    }
    bool ControlsDisabled() const { return FDisableCount > 0; }

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

    void Loaded() override;

private:
    friend class TField;
    const Variant& CurrentValue(int field) const;
    void SetCurrentValue(int field, const Variant& v);
    void CheckActive() const;
    void CheckBrowseMode();
    void Load(const Variant& packet);
    void Sort();
    void ApplyIndex(); // FIndexFields from IndexName/IndexFieldNames, then Sort, keeping the record
    std::string ActiveIndexFields() const;
    std::vector<int> FieldIndexes(const std::string& names) const;
    void MoveTo(size_t position);

    TComponentPtr<TSocketConnection> FRemoteServer;
    Variant FAppServer;
    std::string FProviderName;
    std::string FIndexFieldNames;
    std::string FIndexName;
    TIndexDefs* FIndexDefs;
    TDataSetState FState = dsInactive;
    bool FStreamedActive = false;
    int FDisableCount = 0;

    std::vector<std::unique_ptr<TField>> FFields;
    std::vector<std::vector<Variant>> FRows;
    std::vector<size_t> FOrder; // FRows indexes in index order
    std::vector<int> FIndexFields;
    size_t FPos = 0; // position in FOrder
    bool FEof = true;
    bool FBof = true;
    std::vector<Variant> FEditBuffer;
};

// The grid-aware variant the option forms declare; the same dataset.
class TwwClientDataSet : public TClientDataSet {
    KVRT_CLASS(TwwClientDataSet, TClientDataSet)
public:
    explicit TwwClientDataSet(TComponent* AOwner = nullptr) : TClientDataSet(AOwner) {}
};

} // namespace rt
