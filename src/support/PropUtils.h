#pragma once
// Property helpers: read and write a component's published properties by name, never raising for a
// name the component does not publish or a missing component, and a simulated mouse click.
#include "rtti/Method.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace rt {
class TObject;
class TControl;
} // namespace rt

namespace kvx {

// True when Component publishes a property of that name (ignoring case); false for a null component or
// an empty name.
bool HasPropByName(const rt::TObject* Component, std::string_view Name);
// The value of a text property; empty when the component is null, the name empty, or no text property
// of that name is published.
std::string GetStrPropByName(const rt::TObject* Component, std::string_view Name);
// The value of an ordinal property: integers, characters, enumerations and Booleans (False 0, True 1),
// sets as bit masks, object references as the object's address; 0 in the same cases as above.
int64_t GetOrdPropByName(const rt::TObject* Control, std::string_view Name);
// Sets a text property when it is published and writable; otherwise does nothing.
void SetStrPropByName(rt::TObject* Component, std::string_view Name, const std::string& Value);
// Sets an ordinal property when it is published and writable; otherwise does nothing. Object references
// are not set from numbers.
void SetOrdPropByName(rt::TObject* Object, std::string_view Name, int64_t Value);
// The handler (code and data) of an event property; a null pair when none is published.
rt::TMethod GetMethodPropByName(const rt::TObject* Instance, std::string_view Name);
// Sets an event property when it is published; otherwise does nothing.
void SetMethodPropByName(rt::TObject* Instance, std::string_view Name, const rt::TMethod& Handler);

// Sends Control a left-button-down and then a left-button-up message with WParam and LParam, each
// handled before the call returns. Nothing happens for a null control.
void SimulateClick(rt::TControl* Control, uintptr_t WParam, intptr_t LParam);

} // namespace kvx
