#pragma once
// Published properties read and written as Variants (the platform's GetPropValue / SetPropValue).
#include "core/Variant.h"
#include "rtti/PropInfo.h"

namespace rt {

// Integers and characters as integers, floats as doubles (TDateTime properties as dates), texts as texts,
// enumerations and sets by name when preferStrings (else their ordinal value; Booleans as booleans).
// Class and method properties cannot be read this way (EPropertyError).
Variant GetPropValue(const TObject* obj, std::string_view name, bool preferStrings = true);
// A text value goes through the by-name setter's text conversion (SetPropText); numbers and booleans are
// stored by kind (a Boolean True is the ordinal 1). Raises EPropertyError for an unknown property or a
// value that does not fit, EVariantTypeCastError / EConvertError when a conversion fails.
void SetPropValue(TObject* obj, std::string_view name, const Variant& value);

} // namespace rt
