#pragma once
// Initialisation files, read with the platform's rules:
//   - "[Section]" lines open sections; "Name=Value" lines inside them are the keys;
//   - sections and keys ignore case, and the first occurrence wins (a repeated section adds nothing);
//   - blanks around section names, keys and values are trimmed; values keep their quotes;
//   - lines starting with ";" are comments; lines before the first section or without "=" are ignored.
// The file may be UTF-8 (with or without a byte-order mark), UTF-16 with a byte-order mark, or legacy
// GB2312/GBK or BIG5 bytes (see TextFileToUtf8). Texts are returned as UTF-8. Read-only.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace rt {

class TCustomIniFile {
public:
    virtual ~TCustomIniFile() = default;

    const std::string& FileName() const { return FFileName; }

    std::string ReadString(const std::string& section, const std::string& ident,
                           const std::string& def) const;
    // A value that is not an integer (decimal, or hexadecimal with "$" or "0x") gives def.
    int32_t ReadInteger(const std::string& section, const std::string& ident, int32_t def) const;
    // "0" is false, any other integer true; anything else gives def.
    bool ReadBool(const std::string& section, const std::string& ident, bool def) const;
    // A decimal number with "." and an optional exponent; anything else gives def.
    double ReadFloat(const std::string& section, const std::string& ident, double def) const;

    std::vector<std::string> ReadSection(const std::string& section) const;       // the keys
    std::vector<std::string> ReadSections() const;                                // the section names
    std::vector<std::string> ReadSectionValues(const std::string& section) const; // "Name=Value" lines
    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& ident) const;

protected:
    explicit TCustomIniFile(std::string fileName) : FFileName(std::move(fileName)) {}
    // Replaces the contents with the parsed text.
    void Parse(std::string_view utf8Text);
    // Loads FileName(): a missing file gives no sections. Returns false with the reason in error when the
    // file exists but cannot be read.
    bool LoadFile(int codePage, std::string& error);

private:
    struct Section {
        std::string Name;
        std::vector<std::pair<std::string, std::string>> Entries;
        std::unordered_map<std::string, size_t> Index; // upper-cased key -> entry
    };
    const Section* FindSection(const std::string& section) const;
    const std::string* FindValue(const std::string& section, const std::string& ident) const;

    std::string FFileName;
    std::vector<Section> FSections;
    std::unordered_map<std::string, size_t> FSectionIndex; // upper-cased name -> section
};

// The whole file is read when the object is created. A file that exists but cannot be read raises
// EIniFileException. codePage 0 recognises the encoding; another number decodes the bytes with it.
class TMemIniFile : public TCustomIniFile {
public:
    explicit TMemIniFile(const std::string& fileName, int codePage = 0);
    // Replaces the contents with the lines of a UTF-8 text (the file is not read again).
    void SetText(std::string_view utf8Text) { Parse(utf8Text); }
};

// As the platform's profile functions: a file that cannot be read behaves like an empty one.
class TIniFile : public TCustomIniFile {
public:
    explicit TIniFile(const std::string& fileName);
};

} // namespace rt
