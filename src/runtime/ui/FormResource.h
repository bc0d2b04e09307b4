#pragma once
// Form resources: registration and reading.
//
// A form class's resource is text in the form-file syntax (ui/FormResourceParser.h), compiled into the
// library that owns the class and registered under the class name when the library loads. Two ways:
//   - a .dfm file under src/forms/ listed in kvx_form_resources(<target> FILES ...) (cmake/KvxForms.cmake),
//     which turns each file into a registration at build time;
//   - a raw string literal and KVRT_FORM_RESOURCE(TfrmX, text) in the form's source file.
//
// Creating the form (New<T>, Application->CreateForm, the class registry) reads the resources of its
// class chain, base first: the base resource creates components ("object"), a derived one adds
// components and overrides properties of inherited ones ("inherited"). Components are owned by the form
// and placed in their parent; published fields of the form are set to the components of their name;
// event properties are bound to the form's published methods by name; references to other components
// are resolved once every resource is read; then Loaded runs for each component and for the form last.
// Any error raises EFormResourceError naming the file, the line and the property.
#include "ui/Component.h"
#include "ui/FormResourceParser.h"

#include <string>
#include <string_view>

namespace rt {

class TCustomForm;

// Registers text as the resource of className; fileName is used in error messages. Returns true (for
// static registration); a later registration for the same class replaces the earlier one.
bool RegisterFormResource(std::string_view className, std::string_view text, std::string_view fileName);
void UnregisterFormResource(std::string_view className);
bool HasFormResource(std::string_view className);

// Reads the resources of root's class and its ancestors into root. Answers false when none is
// registered. (Called by TCustomForm::AfterConstruction.)
bool InitInheritedComponent(TComponent* root);

// Reads one resource text into root (no class chain): for tests and tools.
void ReadComponentResource(TComponent* root, std::string_view text, const std::string& fileName);

} // namespace rt

// Registers a resource given as a string literal in the form's source file.
#define KVRT_FORM_RESOURCE(FormClass, Text)                                                                  \
    [[maybe_unused]] static const bool kvrtFormResource_##FormClass =                                        \
        ::rt::RegisterFormResource(#FormClass, Text, __FILE__)
