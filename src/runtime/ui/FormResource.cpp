#include "ui/FormResource.h"

#include "core/Classes.h"
#include "core/SysUtils.h"
#include "rtti/Idents.h"
#include "rtti/PropInfo.h"
#include "ui/Collections.h"
#include "ui/Forms.h"

#include <map>
#include <memory>
#include <vector>

namespace rt {

namespace {

struct TResourceEntry {
    std::string ClassName;
    std::string Text;
    std::string FileName;
    std::shared_ptr<const TResObject> Parsed; // parsed on first use
};

std::map<std::string, TResourceEntry, std::less<>>& Resources() {
    static std::map<std::string, TResourceEntry, std::less<>> resources;
    return resources;
}

std::shared_ptr<const TResObject> ParsedResource(TResourceEntry& entry) {
    if (!entry.Parsed)
        entry.Parsed = std::make_shared<const TResObject>(ParseFormResource(entry.Text, entry.FileName));
    return entry.Parsed;
}

// One reading of a root component from one or more resources.
class TResourceReader {
public:
    explicit TResourceReader(TComponent* root) : FRoot(root) {}

    void ReadRoot(const TResObject& tree, const std::string& fileName, std::string_view expectedClass) {
        FFile = fileName;
        if (!expectedClass.empty() && !SameText(tree.ClassName, expectedClass))
            Fail(tree.Line, "",
                 "The resource describes " + tree.ClassName + ", not " + std::string(expectedClass));
        if (!FRoot->ClassType()->InheritsFrom(FindClassChecked(tree.ClassName, tree.Line)))
            Fail(tree.Line, "", tree.ClassName + " is not a class of " + FRoot->ClassName());
        if (!tree.Name.empty()) SetRootName(tree.Name, tree.Line);
        ApplyProperties(FRoot, RootLabel(), tree.Properties);
        for (const TResObject& child : tree.Children) ReadChild(FRoot, child);
    }

    void Finish() {
        for (const TFixup& f : FFixups) {
            FFile = f.File;
            TObject* target = nullptr;
            if (!SameText(f.Name, "nil")) {
                target = FindReference(f.Name);
                if (!target) Fail(f.Line, f.Property, "Component '" + f.Name + "' not found");
            }
            Guard(f.Line, f.Property, [&] { SetObjectProp(f.Instance, f.Prop, target); });
        }
        FFixups.clear();
        for (TComponent* c : FCreated) c->EndReading();
        FRoot->EndReading();
        // Loaded runs for every component read, in reading order, and for the root last.
        for (TComponent* c : FCreated) c->Loaded();
        FRoot->Loaded();
    }

    void Abandon() {
        for (TComponent* c : FCreated) c->SetLoadingState(false);
        FRoot->SetLoadingState(false);
    }

private:
    struct TFixup {
        TObject* Instance;
        const TPropInfo* Prop;
        std::string Name;
        std::string File;
        int Line;
        std::string Property;
    };

    std::string RootLabel() const { return FRoot->Name().empty() ? FRoot->ClassName() : FRoot->Name(); }

    [[noreturn]] void Fail(int line, const std::string& property, const std::string& message) const {
        throw EFormResourceError(FFile, line, property, message);
    }

    template <class F> void Guard(int line, const std::string& property, F&& f) const {
        try {
            f();
        } catch (const EFormResourceError&) {
            throw;
        } catch (const Exception& e) {
            Fail(line, property, e.Message());
        }
    }

    [[noreturn]] void Invalid(const TResValue& v, const TTypeInfo* type, int line,
                              const std::string& fullName) const {
        Fail(line, fullName, "Invalid property value " + DescribeValue(v) + " for type " + type->Name);
    }

    TClass FindClassChecked(const std::string& name, int line) const {
        TClass cls = GetClass(name);
        if (!cls) Fail(line, "", "Class " + name + " not found");
        return cls;
    }

    void SetRootName(const std::string& name, int line) {
        Guard(line, RootLabel() + ".Name", [&] {
            std::string unique = name;
            TComponent* owner = FRoot->Owner();
            for (int i = 1; owner && owner->FindComponent(unique) && owner->FindComponent(unique) != FRoot;
                 ++i)
                unique = name + "_" + std::to_string(i);
            FRoot->SetName(unique);
        });
    }

    void ReadChild(TComponent* parent, const TResObject& node) {
        TComponent* comp = nullptr;
        std::string label = node.Name.empty() ? node.ClassName : node.Name;
        if (node.Kind == TResObject::rkInherited ||
            (node.Kind == TResObject::rkInline && !node.Name.empty() && FRoot->FindComponent(node.Name))) {
            comp = node.Name.empty() ? nullptr : FRoot->FindComponent(node.Name);
            if (!comp) Fail(node.Line, "", "Ancestor for '" + label + "' not found");
            TClass cls = FindClassChecked(node.ClassName, node.Line);
            if (!comp->ClassType()->InheritsFrom(cls))
                Fail(node.Line, "",
                     "'" + label + "' is a " + comp->ClassName() + ", not a " + node.ClassName);
        } else {
            TClass cls = FindClassChecked(node.ClassName, node.Line);
            if (!cls->Factory())
                Fail(node.Line, "", "Class " + cls->Name() + " cannot be created from a resource");
            if (!node.Name.empty()) {
                if (!IsValidIdent(node.Name))
                    Fail(node.Line, "", "'" + node.Name + "' is not a valid component name");
                if (FRoot->FindComponent(node.Name))
                    Fail(node.Line, "", "A component named " + node.Name + " already exists");
            }
            const TFieldEntry* field = node.Name.empty() ? nullptr : FRoot->ClassType()->FindField(node.Name);
            if (field && !cls->InheritsFrom(field->FieldClass))
                Fail(node.Line, "",
                     "Field " + node.Name + " is a " + field->FieldClass->Name() + ", not a " + cls->Name());
            Guard(node.Line, label, [&] {
                comp = cls->Factory()(FRoot);
                comp->SetLoadingState(true);
                FCreated.push_back(comp);
                comp->SetName(node.Name);
                if (parent) comp->SetParentComponent(parent);
            });
            if (field) field->Set(FRoot, comp);
        }
        ApplyProperties(comp, label, node.Properties);
        for (const TResObject& child : node.Children) ReadChild(comp, child);
    }

    void ApplyProperties(TObject* obj, const std::string& label, const std::vector<TResProperty>& props) {
        for (const TResProperty& p : props) ApplyProperty(obj, label, p);
    }

    void ApplyProperty(TObject* obj, const std::string& label, const TResProperty& p) {
        std::string fullName = label + "." + p.Name;
        // Walk the dotted path through class-typed properties.
        TObject* current = obj;
        std::string_view rest = p.Name;
        while (true) {
            size_t dot = rest.find('.');
            std::string segment(rest.substr(0, dot));
            bool last = dot == std::string_view::npos;
            if (last && SameText(segment, "Strings") && dynamic_cast<TStrings*>(current)) {
                AssignStrings(dynamic_cast<TStrings*>(current), p, fullName);
                return;
            }
            const TPropInfo* prop = GetPropInfo(current, segment);
            if (!prop) Fail(p.Line, fullName, "Property " + segment + " does not exist");
            if (last) {
                SetValue(current, prop, p.Value, p.Line, fullName);
                return;
            }
            if (prop->Kind() != tkClass) Fail(p.Line, fullName, "Property " + segment + " is not an object");
            TObject* next = GetObjectProp(current, prop);
            if (!next) Fail(p.Line, fullName, "Property " + segment + " holds no object");
            current = next;
            rest.remove_prefix(dot + 1);
        }
    }

    void AssignStrings(TStrings* strings, const TResProperty& p, const std::string& fullName) {
        if (p.Value.Kind != TResValue::vkList)
            Fail(p.Line, fullName, "A list ( ... ) expected, not " + DescribeValue(p.Value));
        Guard(p.Line, fullName, [&] {
            UpdateScope update(*strings);
            strings->Clear();
            for (const TResValue& item : p.Value.List) {
                if (item.Kind != TResValue::vkString)
                    Fail(item.Line, fullName, "A string expected in the list, not " + DescribeValue(item));
                strings->Add(item.Str);
            }
        });
    }

    void SetValue(TObject* obj, const TPropInfo* prop, const TResValue& v, int line,
                  const std::string& fullName) {
        const TTypeInfo* type = prop->PropType;
        if (v.Kind == TResValue::vkBinary) Fail(line, fullName, "Binary property data is not supported");
        switch (prop->Kind()) {
        case tkInteger:
        case tkInt64:
            if (v.Kind == TResValue::vkInteger) {
                int64_t value = v.Int;
                // Hexadecimal colours such as $FF00000F are 32-bit values.
                if (type->Kind == tkInteger && value > type->MaxValue && value <= 0xFFFFFFFFLL &&
                    type->MinValue == INT32_MIN)
                    value = static_cast<int32_t>(static_cast<uint32_t>(value));
                if (type->Kind == tkInteger && (value < type->MinValue || value > type->MaxValue))
                    Invalid(v, type, line, fullName);
                Guard(line, fullName, [&] { SetOrdProp(obj, prop, value); });
                return;
            }
            if (v.Kind == TResValue::vkIdent && type->Idents) {
                if (auto value = IdentToInt(v.Str, type->Idents)) {
                    Guard(line, fullName, [&] { SetOrdProp(obj, prop, *value); });
                    return;
                }
            }
            Invalid(v, type, line, fullName);
        case tkChar:
        case tkWChar:
            if (v.Kind == TResValue::vkInteger) {
                Guard(line, fullName, [&] { SetOrdProp(obj, prop, v.Int); });
                return;
            }
            if (v.Kind == TResValue::vkString) {
                Guard(line, fullName,
                      [&] { SetPropText(obj, prop, v.Str.empty() ? std::string("#0") : v.Str); });
                return;
            }
            Invalid(v, type, line, fullName);
        case tkEnumeration:
            if (v.Kind == TResValue::vkIdent) {
                int64_t value = GetEnumValue(type, v.Str);
                if (value < 0) Invalid(v, type, line, fullName);
                Guard(line, fullName, [&] { SetOrdProp(obj, prop, value); });
                return;
            }
            Invalid(v, type, line, fullName);
        case tkSet:
            if (v.Kind == TResValue::vkSet) {
                uint64_t bits = 0;
                for (const std::string& name : v.Names) {
                    int64_t e = GetEnumValue(type->CompType, name);
                    if (e < 0 || e >= 64)
                        Fail(line, fullName, "Invalid set element " + name + " for type " + type->Name);
                    bits |= uint64_t{1} << e;
                }
                Guard(line, fullName, [&] { SetOrdProp(obj, prop, static_cast<int64_t>(bits)); });
                return;
            }
            Invalid(v, type, line, fullName);
        case tkFloat:
            if (v.Kind == TResValue::vkFloat || v.Kind == TResValue::vkInteger) {
                double value = v.Kind == TResValue::vkFloat ? v.Float : static_cast<double>(v.Int);
                Guard(line, fullName, [&] { SetFloatProp(obj, prop, value); });
                return;
            }
            Invalid(v, type, line, fullName);
        case tkLString:
        case tkWString:
            if (v.Kind == TResValue::vkString) {
                Guard(line, fullName, [&] { SetStrProp(obj, prop, v.Str); });
                return;
            }
            Invalid(v, type, line, fullName);
        case tkClass:
            SetClassValue(obj, prop, v, line, fullName);
            return;
        case tkMethod:
            SetMethodValue(obj, prop, v, line, fullName);
            return;
        case tkUnknown:
            break;
        }
        Invalid(v, type, line, fullName);
    }

    void SetClassValue(TObject* obj, const TPropInfo* prop, const TResValue& v, int line,
                       const std::string& fullName) {
        if (v.Kind == TResValue::vkIdent) {
            if (!prop->SetObj) Fail(line, fullName, "Property " + prop->Name + " is read-only");
            FFixups.push_back(TFixup{obj, prop, v.Str, FFile, line, fullName});
            return;
        }
        TObject* held = GetObjectProp(obj, prop);
        if (v.Kind == TResValue::vkList) {
            auto* strings = dynamic_cast<TStrings*>(held);
            if (!strings) Fail(line, fullName, "Property " + prop->Name + " is not a string list");
            AssignStrings(strings, TResProperty{prop->Name, v, line}, fullName);
            return;
        }
        if (v.Kind == TResValue::vkCollection) {
            auto* collection = dynamic_cast<TCollection*>(held);
            if (!collection) Fail(line, fullName, "Property " + prop->Name + " is not a collection");
            Guard(line, fullName, [&] {
                UpdateScope update(*collection);
                collection->Clear();
                for (const TResItem& item : v.Items) {
                    TCollectionItem* ci = collection->Add();
                    std::string itemLabel = fullName + "[" + std::to_string(ci->Index()) + "]";
                    for (const TResProperty& p : item.Properties) ApplyProperty(ci, itemLabel, p);
                }
            });
            return;
        }
        Fail(line, fullName,
             "Invalid property value " + DescribeValue(v) + " for type " + prop->PropType->Name);
    }

    void SetMethodValue(TObject* obj, const TPropInfo* prop, const TResValue& v, int line,
                        const std::string& fullName) {
        if (v.Kind != TResValue::vkIdent)
            Fail(line, fullName, "A method name expected, not " + DescribeValue(v));
        if (SameText(v.Str, "nil")) {
            Guard(line, fullName, [&] { SetMethodProp(obj, prop, TMethod{}); });
            return;
        }
        const TMethodEntry* m = FRoot->ClassType()->FindMethod(v.Str);
        if (!m) Fail(line, fullName, "Method " + v.Str + " not found in " + FRoot->ClassName());
        const std::type_info* wanted = prop->PropType->Signature;
        if (wanted && m->Signature && *wanted != *m->Signature)
            Fail(line, fullName,
                 "Method " + v.Str + " does not have the parameters of " + prop->PropType->Name);
        Guard(line, fullName, [&] { SetMethodProp(obj, prop, TMethod{m->Code, static_cast<void*>(FRoot)}); });
    }

    TObject* FindReference(const std::string& name) const {
        size_t dot = name.find('.');
        if (dot == std::string::npos) {
            if (SameText(name, FRoot->Name())) return FRoot;
            return FRoot->FindComponent(name);
        }
        // "frmOther.Component": a component of another form.
        TCustomForm* form = Screen->FindForm(name.substr(0, dot));
        return form ? form->FindComponent(name.substr(dot + 1)) : nullptr;
    }

    TComponent* FRoot;
    std::string FFile;
    std::vector<TComponent*> FCreated;
    std::vector<TFixup> FFixups;
};

} // namespace

bool RegisterFormResource(std::string_view className, std::string_view text, std::string_view fileName) {
    TResourceEntry entry{std::string(className), std::string(text), std::string(fileName), nullptr};
    Resources()[UpperCase(className)] = std::move(entry);
    return true;
}

void UnregisterFormResource(std::string_view className) {
    Resources().erase(UpperCase(className));
}

bool HasFormResource(std::string_view className) {
    return Resources().count(UpperCase(className)) > 0;
}

bool InitInheritedComponent(TComponent* root) {
    std::vector<TClass> chain;
    for (TClass c = root->ClassType(); c; c = c->Parent())
        if (HasFormResource(c->Name())) chain.insert(chain.begin(), c);
    if (chain.empty()) return false;
    TResourceReader reader(root);
    root->SetLoadingState(true);
    try {
        for (TClass c : chain) {
            TResourceEntry& entry = Resources().find(UpperCase(c->Name()))->second;
            std::shared_ptr<const TResObject> tree = ParsedResource(entry);
            reader.ReadRoot(*tree, entry.FileName, entry.ClassName);
        }
        reader.Finish();
    } catch (...) {
        reader.Abandon();
        throw;
    }
    return true;
}

void ReadComponentResource(TComponent* root, std::string_view text, const std::string& fileName) {
    TResObject tree = ParseFormResource(text, fileName);
    TResourceReader reader(root);
    root->SetLoadingState(true);
    try {
        reader.ReadRoot(tree, fileName, "");
        reader.Finish();
    } catch (...) {
        reader.Abandon();
        throw;
    }
}

} // namespace rt
