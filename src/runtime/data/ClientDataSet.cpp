#include "data/ClientDataSet.h"

#include "automation/Dispatch.h"
#include "core/SysUtils.h"
#include "data/SocketConnection.h"

#include <algorithm>
#include <cctype>

namespace rt {
namespace {

std::string UpperAscii(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
    return s;
}

std::vector<std::string> SplitNames(const std::string& names) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= names.size()) {
        size_t end = names.find(';', start);
        if (end == std::string::npos) end = names.size();
        std::string name = names.substr(start, end - start);
        name.erase(0, name.find_first_not_of(' '));
        name.erase(name.find_last_not_of(' ') + 1);
        if (!name.empty()) out.push_back(name);
        start = end + 1;
    }
    return out;
}

// Sort classes: nothing, then numbers (dates and booleans among them), then texts, then the rest.
int SortClass(const Variant& v) {
    if (v.IsEmpty() || v.IsNull()) return 0;
    if (v.IsText()) return 2;
    if (v.IsArray() || v.VarType() == varDispatch) return 3;
    return 1;
}

std::u16string FoldCase(std::u16string s) {
    for (auto& c : s)
        if (c < 0x80) c = static_cast<char16_t>(std::toupper(static_cast<int>(c)));
    return s;
}

// Total order on field values; never raises.
int CompareValues(const Variant& a, const Variant& b, bool caseInsensitive = false) {
    const int ca = SortClass(a), cb = SortClass(b);
    if (ca != cb) return ca < cb ? -1 : 1;
    switch (ca) {
    case 1: {
        const double x = a.AsDouble(), y = b.AsDouble();
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    case 2: {
        std::u16string x = a.AsWideString(), y = b.AsWideString();
        if (caseInsensitive) {
            x = FoldCase(std::move(x));
            y = FoldCase(std::move(y));
        }
        return x.compare(y) < 0 ? -1 : (x == y ? 0 : 1);
    }
    default:
        return 0;
    }
}

bool StartsWith(const Variant& value, const Variant& prefix, bool caseInsensitive) {
    if (!value.IsText() || !prefix.IsText()) return CompareValues(value, prefix, caseInsensitive) == 0;
    std::u16string v = value.AsWideString(), p = prefix.AsWideString();
    if (caseInsensitive) {
        v = FoldCase(std::move(v));
        p = FoldCase(std::move(p));
    }
    return v.compare(0, p.size(), p) == 0;
}

// The type of a column from its first value that is not Null.
TFieldType TypeOfValue(const Variant& v) {
    switch (v.VarType()) {
    case varString:
        return ftString;
    case varOleStr:
        return ftWideString;
    case varSmallint:
    case varInteger:
    case varByte:
    case varInt64:
        return ftInteger;
    case varSingle:
    case varDouble:
    case varCurrency:
        return ftFloat;
    case varDate:
        return ftDateTime;
    case varBoolean:
        return ftBoolean;
    default:
        return ftUnknown;
    }
}

// A type the provider names: the enumeration's name with or without "ft", ignoring case.
TFieldType TypeOfName(const std::string& name) {
    const TTypeInfo* info = KvrtTypeInfoFor(static_cast<TFieldType*>(nullptr));
    for (int i = 0; i <= static_cast<int>(ftBoolean); ++i) {
        const std::string ident = GetEnumName(info, i);
        if (SameText(ident, name) || SameText(ident.substr(2), name)) return static_cast<TFieldType>(i);
    }
    throw EDatabaseError("Unknown field type '" + name + "' in the provider's answer");
}

} // namespace

// ---- fields ----

KVRT_PUBLISHED(TField) {
    P.Property("FieldName", &TField::FieldName);
    P.Property("DataType", &TField::DataType);
    P.Property("DisplayLabel", &TField::DisplayLabel, &TField::SetDisplayLabel);
    P.Property("OnGetText", &TField::OnGetText, &TField::OnGetText);
    P.Property("OnSetText", &TField::OnSetText, &TField::OnSetText);
}

std::string TField::GetText(bool displayText) const {
    if (!OnGetText) return AsString();
    std::string text;
    OnGetText(const_cast<TField*>(this), text, displayText);
    return text;
}

void TField::SetText(const std::string& text) {
    if (OnSetText) {
        OnSetText(this, text);
        return;
    }
    if (text.empty()) {
        SetValue(Variant::Null());
        return;
    }
    switch (FDataType) {
    case ftInteger:
        SetValue(Variant(StrToInt(text)));
        break;
    case ftFloat:
        SetValue(Variant(StrToFloat(text)));
        break;
    case ftBoolean:
        if (!SameText(text, "True") && !SameText(text, "False"))
            throw EConvertError("'" + text + "' is not a valid boolean value");
        SetValue(Variant(SameText(text, "True")));
        break;
    case ftWideString:
        SetValue(Variant(Utf8ToUtf16(text)));
        break;
    default:
        SetAsString(text);
    }
}

Variant TField::Value() const {
    return FOwner->CurrentValue(FIndex);
}

std::string TField::AsString() const {
    return VarToStr(Value());
}

std::u16string TField::AsWideString() const {
    return VarToWideStr(Value());
}

TDateTime TField::AsDateTime() const {
    const Variant v = Value();
    return v.IsNull() ? TDateTime(0) : v.AsDateTime();
}

int32_t TField::AsInteger() const {
    const Variant v = Value();
    return v.IsNull() ? 0 : v.AsInteger();
}

bool TField::IsNull() const {
    const Variant v = Value();
    return v.IsNull() || v.IsEmpty();
}

void TField::SetValue(const Variant& v) {
    FOwner->SetCurrentValue(FIndex, v);
}

// ---- indexes ----

KVRT_PUBLISHED(TIndexDef) {
    P.Property("Name", &TIndexDef::Name, &TIndexDef::SetName);
    P.Property("Fields", &TIndexDef::Fields, &TIndexDef::SetFields);
}

void TIndexDef::Assign(const TPersistent* source) {
    if (auto* other = dynamic_cast<const TIndexDef*>(source)) {
        FName = other->FName;
        FFields = other->FFields;
        Changed();
        return;
    }
    inherited::Assign(source);
}

KVRT_PUBLISHED(TIndexDefs) {}

TIndexDef* TIndexDefs::Find(const std::string& name) const {
    for (int i = 0; i < Count(); ++i)
        if (SameText(Items(i)->Name(), name)) return Items(i);
    return nullptr;
}

// ---- the dataset ----

KVRT_PUBLISHED(TClientDataSet) {
    P.Property("IndexDefs", &TClientDataSet::IndexDefs, &TClientDataSet::SetIndexDefs);
    P.Property("IndexFieldNames", &TClientDataSet::FIndexFieldNames, &TClientDataSet::SetIndexFieldNames);
    P.Property("IndexName", &TClientDataSet::FIndexName, &TClientDataSet::SetIndexName);
    P.Property("ProviderName", &TClientDataSet::FProviderName, &TClientDataSet::SetProviderName);
    P.Property("RemoteServer", &TClientDataSet::RemoteServer, &TClientDataSet::SetRemoteServer);
    P.Property("Active", &TClientDataSet::Active, &TClientDataSet::SetActive);
}

KVRT_PUBLISHED(TwwClientDataSet) {}

TClientDataSet::TClientDataSet(TComponent* AOwner) : TComponent(AOwner), FIndexDefs(new TIndexDefs(this)) {}

TClientDataSet::~TClientDataSet() {
    FIndexDefs->Free();
}

void TClientDataSet::Loaded() {
    inherited::Loaded();
    if (FStreamedActive) {
        FStreamedActive = false;
        Open();
    }
}

void TClientDataSet::SetRemoteServer(TSocketConnection* connection) {
    Close();
    FRemoteServer = connection;
    FAppServer = Variant();
}

void TClientDataSet::SetAppServer(const Variant& server) {
    Close();
    FAppServer = server;
    FRemoteServer = nullptr;
}

void TClientDataSet::SetProviderName(const std::string& name) {
    if (Active()) throw EDatabaseError("Cannot perform this operation on an open dataset");
    FProviderName = name;
}

void TClientDataSet::SetIndexFieldNames(const std::string& names) {
    FIndexFieldNames = names;
    if (!names.empty()) FIndexName.clear();
    ApplyIndex();
}

void TClientDataSet::SetIndexName(const std::string& name) {
    if (Active() && !name.empty() && !FIndexDefs->Find(name))
        throw EDatabaseError("Index '" + name + "' not found");
    FIndexName = name;
    if (!name.empty()) FIndexFieldNames.clear();
    ApplyIndex();
}

std::string TClientDataSet::ActiveIndexFields() const {
    if (FIndexName.empty()) return FIndexFieldNames;
    if (const TIndexDef* def = FIndexDefs->Find(FIndexName)) return def->Fields();
    throw EDatabaseError("Index '" + FIndexName + "' not found");
}

void TClientDataSet::ApplyIndex() {
    if (!Active()) return;
    CheckBrowseMode();
    FIndexFields = FieldIndexes(ActiveIndexFields());
    const bool hadRecord = !FOrder.empty();
    const size_t current = hadRecord ? FOrder[FPos] : 0;
    Sort();
    if (hadRecord)
        MoveTo(static_cast<size_t>(std::find(FOrder.begin(), FOrder.end(), current) - FOrder.begin()));
}

void TClientDataSet::Open() {
    if (Active()) return;
    if (FProviderName.empty()) throw EDatabaseError("Missing data provider or data packet");
    Variant server = FAppServer;
    if (server.IsEmpty() && FRemoteServer) {
        if (!FRemoteServer->HasLocalServer() && !FRemoteServer->Connected()) FRemoteServer->Open();
        server = FRemoteServer->AppServer();
    }
    if (server.VarType() != varDispatch || !server.AsDispatch())
        throw EDatabaseError("Remote server not assigned for provider \"" + FProviderName + "\"");
    Load(OleCall(server, "AS_GetRecords", {Variant(Utf8ToUtf16(FProviderName))}));
}

void TClientDataSet::Load(const Variant& packet) {
    auto bad = [] { throw EDatabaseError("The provider's answer is not a record set"); };
    if (!packet.IsArray() || packet.DimCount() != 1 || packet.ElementCount() < 2 || packet.ElementCount() > 3)
        bad();
    const int lo = packet.LowBound();
    const Variant& names = packet[lo];
    const Variant& rows = packet[lo + 1];
    if (!names.IsArray() || names.DimCount() != 1 || !rows.IsArray() || rows.DimCount() != 2) bad();
    const int fieldCount = names.ElementCount();
    if (rows.HighBound(2) - rows.LowBound(2) + 1 != fieldCount) bad();

    std::vector<TFieldType> types(static_cast<size_t>(fieldCount), ftUnknown);
    if (packet.ElementCount() == 3) {
        const Variant& typeNames = packet[lo + 2];
        if (!typeNames.IsArray() || typeNames.DimCount() != 1 || typeNames.ElementCount() != fieldCount)
            bad();
        for (int f = 0; f < fieldCount; ++f)
            types[static_cast<size_t>(f)] = TypeOfName(VarToStr(typeNames[typeNames.LowBound() + f]));
    } else {
        for (int f = 0; f < fieldCount; ++f)
            for (int r = rows.LowBound(1); r <= rows.HighBound(1); ++r) {
                const Variant& v = rows(r, rows.LowBound(2) + f);
                if (v.IsNull() || v.IsEmpty()) continue;
                types[static_cast<size_t>(f)] = TypeOfValue(v);
                break;
            }
    }
    std::vector<std::unique_ptr<TField>> fields;
    for (int f = 0; f < fieldCount; ++f)
        fields.push_back(std::make_unique<TField>(this, f, VarToStr(names[names.LowBound() + f]),
                                                  types[static_cast<size_t>(f)]));
    std::vector<std::vector<Variant>> data;
    data.reserve(static_cast<size_t>(rows.HighBound(1) - rows.LowBound(1) + 1));
    for (int r = rows.LowBound(1); r <= rows.HighBound(1); ++r) {
        std::vector<Variant> row;
        row.reserve(static_cast<size_t>(fieldCount));
        for (int f = 0; f < fieldCount; ++f) row.push_back(rows(r, rows.LowBound(2) + f));
        data.push_back(std::move(row));
    }
    FFields = std::move(fields);
    FRows = std::move(data);
    FState = dsBrowse;
    try {
        FIndexFields = FieldIndexes(ActiveIndexFields());
    } catch (...) {
        Close();
        throw;
    }
    Sort();
    First();
}

void TClientDataSet::Close() {
    FState = dsInactive;
    FFields.clear();
    FRows.clear();
    FOrder.clear();
    FEditBuffer.clear();
    FPos = 0;
    FEof = FBof = true;
}

void TClientDataSet::SetActive(bool value) {
    if (IsLoading()) {
        FStreamedActive = value;
        return;
    }
    if (value)
        Open();
    else
        Close();
}

void TClientDataSet::CheckActive() const {
    if (!Active()) throw EDatabaseError("Cannot perform this operation on a closed dataset");
}

void TClientDataSet::CheckBrowseMode() {
    CheckActive();
    if (FState == dsEdit) Post();
}

std::vector<int> TClientDataSet::FieldIndexes(const std::string& names) const {
    std::vector<int> out;
    for (const auto& name : SplitNames(names)) {
        const std::string upper = UpperAscii(name);
        auto it = std::find_if(FFields.begin(), FFields.end(),
                               [&](const auto& f) { return UpperAscii(f->FieldName()) == upper; });
        if (it == FFields.end()) throw EDatabaseError("Field '" + name + "' not found");
        out.push_back((*it)->Index());
    }
    return out;
}

void TClientDataSet::Sort() {
    FOrder.resize(FRows.size());
    for (size_t i = 0; i < FOrder.size(); ++i) FOrder[i] = i;
    if (FIndexFields.empty()) return;
    std::stable_sort(FOrder.begin(), FOrder.end(), [this](size_t a, size_t b) {
        for (int f : FIndexFields) {
            const int c = CompareValues(FRows[a][f], FRows[b][f]);
            if (c != 0) return c < 0;
        }
        return false;
    });
}

void TClientDataSet::MoveTo(size_t position) {
    FPos = FOrder.empty() ? 0 : std::min(position, FOrder.size() - 1);
    FEof = FOrder.empty();
    FBof = FOrder.empty();
}

void TClientDataSet::First() {
    CheckBrowseMode();
    MoveTo(0);
    FBof = true;
}

void TClientDataSet::Last() {
    CheckBrowseMode();
    MoveTo(FOrder.empty() ? 0 : FOrder.size() - 1);
    FEof = true;
}

void TClientDataSet::Next() {
    CheckBrowseMode();
    FBof = false;
    if (FOrder.empty() || FPos + 1 >= FOrder.size())
        FEof = true;
    else
        ++FPos;
}

void TClientDataSet::Prior() {
    CheckBrowseMode();
    FEof = false;
    if (FOrder.empty() || FPos == 0)
        FBof = true;
    else
        --FPos;
}

int TClientDataSet::RecordCount() const {
    return Active() ? static_cast<int>(FRows.size()) : 0;
}

int TClientDataSet::RecNo() const {
    if (!Active() || FOrder.empty()) return -1;
    return static_cast<int>(FPos) + 1;
}

void TClientDataSet::SetRecNo(int recNo) {
    CheckBrowseMode();
    if (recNo < 1 || static_cast<size_t>(recNo) > FOrder.size()) return;
    MoveTo(static_cast<size_t>(recNo - 1));
}

TField& TClientDataSet::Fields(int index) {
    if (index < 0 || index >= FieldCount()) throw EDatabaseError("Field index out of range");
    return *FFields[static_cast<size_t>(index)];
}

TField* TClientDataSet::FindField(const std::string& name) {
    const std::string upper = UpperAscii(name);
    for (auto& f : FFields)
        if (UpperAscii(f->FieldName()) == upper) return f.get();
    return nullptr;
}

TField& TClientDataSet::FieldByName(const std::string& name) {
    if (TField* f = FindField(name)) return *f;
    throw EDatabaseError("Field '" + name + "' not found");
}

bool TClientDataSet::FindKey(const std::vector<Variant>& keyValues) {
    CheckBrowseMode();
    if (FIndexFields.empty()) throw EDatabaseError("No index currently active");
    if (keyValues.empty() || keyValues.size() > FIndexFields.size())
        throw EDatabaseError("Key search needs between 1 and " + std::to_string(FIndexFields.size()) +
                             " values");
    auto compareKey = [&](size_t row) {
        for (size_t k = 0; k < keyValues.size(); ++k) {
            const int c = CompareValues(FRows[row][FIndexFields[k]], keyValues[k]);
            if (c != 0) return c;
        }
        return 0;
    };
    auto it =
        std::partition_point(FOrder.begin(), FOrder.end(), [&](size_t row) { return compareKey(row) < 0; });
    if (it == FOrder.end() || compareKey(*it) != 0) return false;
    MoveTo(static_cast<size_t>(it - FOrder.begin()));
    return true;
}

bool TClientDataSet::Locate(const std::string& fieldNames, const Variant& values, unsigned options) {
    CheckBrowseMode();
    const std::vector<int> fields = FieldIndexes(fieldNames);
    if (fields.empty()) return false;
    std::vector<Variant> wanted;
    if (fields.size() == 1 && !(values.IsArray() && values.ElementCount() == 1)) {
        wanted.push_back(values);
    } else {
        if (!values.IsArray() || values.DimCount() != 1 ||
            values.ElementCount() != static_cast<int>(fields.size()))
            throw EDatabaseError("Locate needs one value per field");
        for (int i = values.LowBound(); i <= values.HighBound(); ++i) wanted.push_back(values[i]);
    }
    const bool ci = (options & loCaseInsensitive) != 0;
    const bool partial = (options & loPartialKey) != 0;
    for (size_t pos = 0; pos < FOrder.size(); ++pos) {
        const auto& row = FRows[FOrder[pos]];
        bool match = true;
        for (size_t k = 0; k < fields.size() && match; ++k)
            match = partial ? StartsWith(row[fields[k]], wanted[k], ci)
                            : CompareValues(row[fields[k]], wanted[k], ci) == 0;
        if (match) {
            MoveTo(pos);
            return true;
        }
    }
    return false;
}

void TClientDataSet::Edit() {
    CheckActive();
    if (FState == dsEdit) return;
    if (FOrder.empty()) throw EDatabaseError("Cannot edit: the dataset has no records");
    FEditBuffer = FRows[FOrder[FPos]];
    FState = dsEdit;
}

void TClientDataSet::Post() {
    CheckActive();
    if (FState != dsEdit) return;
    const size_t row = FOrder[FPos];
    FRows[row] = std::move(FEditBuffer);
    FEditBuffer.clear();
    FState = dsBrowse;
    // The record keeps the cursor when the index moves it.
    Sort();
    MoveTo(static_cast<size_t>(std::find(FOrder.begin(), FOrder.end(), row) - FOrder.begin()));
}

void TClientDataSet::Cancel() {
    if (FState != dsEdit) return;
    FEditBuffer.clear();
    FState = dsBrowse;
}

const Variant& TClientDataSet::CurrentValue(int field) const {
    static const Variant null = Variant::Null();
    if (!Active() || FOrder.empty()) return null;
    if (FState == dsEdit) return FEditBuffer[static_cast<size_t>(field)];
    return FRows[FOrder[FPos]][static_cast<size_t>(field)];
}

void TClientDataSet::SetCurrentValue(int field, const Variant& v) {
    if (FState != dsEdit) throw EDatabaseError("Dataset not in edit or insert mode");
    FEditBuffer[static_cast<size_t>(field)] = v;
}

} // namespace rt
