#pragma once
// The form-file text syntax, parsed into a tree (no components involved):
//
//   object frmDemo: TfrmDemo              (or "inherited frmDemo: TfrmDemo" in a derived form)
//     Caption = 'it''s a demo'#13#10 +     strings: quoted parts, #n character codes, "+" across lines
//       'second line'
//     Width = 400                          integers (also $1F), floats (1.5), identifiers (clRed, True)
//     Font.Name = '宋体'                    dotted property paths
//     BorderIcons = [biSystemMenu]         sets
//     Items.Strings = ( 'a' 'b' )          lists
//     Panels = < item Width = 50 end >     collections
//     OnShow = FormShow                    event handlers by method name
//     object btnOk: TButton ... end        nested components
//   end
//
// #n is the Unicode character n (#20013 is 中). Binary data ({ ... }) is recognised and reported as
// unsupported when applied. Every malformed input raises EFormResourceError naming the file and line.
#include "core/Exceptions.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rt {

class EFormResourceError : public EReadError {
public:
    EFormResourceError(std::string file, int line, std::string property, const std::string& message);
    const char* ClassName() const noexcept override { return "EFormResourceError"; }
    const std::string& File() const { return FFile; }
    int Line() const { return FLine; }
    // "btnOk.Caption" when the error concerns a property, else "".
    const std::string& Property() const { return FProperty; }
    // The message without file, line and property.
    const std::string& Reason() const { return FReason; }

private:
    std::string FFile;
    int FLine;
    std::string FProperty;
    std::string FReason;
};

struct TResItem;

struct TResValue {
    enum TKind { vkInteger, vkFloat, vkString, vkIdent, vkSet, vkList, vkCollection, vkBinary };
    TKind Kind = vkInteger;
    int Line = 0;
    int64_t Int = 0;
    double Float = 0;
    std::string Str;                // string text, identifier, or binary hex digits
    std::vector<std::string> Names; // set elements
    std::vector<TResValue> List;    // list elements
    std::vector<TResItem> Items;    // collection items
};

struct TResProperty {
    std::string Name; // possibly dotted: "Font.Name"
    TResValue Value;
    int Line = 0;
};

struct TResItem {
    std::vector<TResProperty> Properties;
    int Line = 0;
};

struct TResObject {
    enum TKind { rkObject, rkInherited, rkInline };
    TKind Kind = rkObject;
    std::string Name;
    std::string ClassName;
    int Line = 0;
    std::vector<TResProperty> Properties;
    std::vector<TResObject> Children;
};

// Parses one resource (one root object, then only blanks). fileName is used in error messages.
TResObject ParseFormResource(std::string_view text, const std::string& fileName);

// The class name in a resource's first line ("object frmX: TfrmX" gives "TfrmX"); "" when the first
// line is not an object header.
std::string ResourceClassName(std::string_view text);

// A short description of a value for messages ("'abc'", "42", "[a,b]").
std::string DescribeValue(const TResValue& value);

} // namespace rt
