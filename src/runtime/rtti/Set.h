#pragma once
// TSet<E>: the platform's "set of" an enumeration, as a bit mask over the element ordinals. A set type
// gets its published type name with KVRT_SET:
//   KVRT_ENUM(TFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut)
//   KVRT_SET(TFontStyles, TFontStyle)
#include "rtti/TypInfo.h"

#include <cstdint>
#include <initializer_list>

namespace rt {

template <class E> class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> items) {
        for (E e : items) FBits |= Bit(e);
    }
    static constexpr TSet FromBits(uint64_t bits) {
        TSet s;
        s.FBits = bits;
        return s;
    }
    constexpr uint64_t Bits() const { return FBits; }
    constexpr bool Contains(E e) const { return (FBits & Bit(e)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr TSet& Include(E e) {
        FBits |= Bit(e);
        return *this;
    }
    constexpr TSet& Exclude(E e) {
        FBits &= ~Bit(e);
        return *this;
    }
    constexpr TSet& operator<<(E e) { return Include(e); }
    constexpr TSet& operator>>(E e) { return Exclude(e); }
    constexpr TSet operator+(TSet o) const { return FromBits(FBits | o.FBits); }
    constexpr TSet operator-(TSet o) const { return FromBits(FBits & ~o.FBits); }
    constexpr TSet operator*(TSet o) const { return FromBits(FBits & o.FBits); }
    constexpr bool operator==(const TSet&) const = default;

    static const TTypeInfo* TypeInfo() {
        static const TTypeInfo info = [] {
            TTypeInfo t;
            t.Kind = tkSet;
            t.Name = KvrtSetTypeName(static_cast<E*>(nullptr));
            t.CompType = KvrtTypeInfoFor(static_cast<E*>(nullptr));
            return t;
        }();
        return &info;
    }

private:
    static constexpr uint64_t Bit(E e) { return uint64_t{1} << static_cast<unsigned>(e); }
    uint64_t FBits = 0;
};

#define KVRT_SET(SetName, Elem)                                                                              \
    using SetName = ::rt::TSet<Elem>;                                                                        \
    inline const char* KvrtSetTypeName(Elem*) {                                                              \
        return #SetName;                                                                                     \
    }

} // namespace rt
