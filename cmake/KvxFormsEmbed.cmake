# Script mode (cmake -DINPUT=<file> -DOUTPUT=<source> -P KvxFormsEmbed.cmake): writes a C++ source that
# registers the form resource in INPUT under the class named in its first line.
file(READ "${INPUT}" text)
string(REGEX MATCH "(object|inherited|inline)[ \t]+([A-Za-z_][A-Za-z0-9_]*[ \t]*:[ \t]*)?([A-Za-z_][A-Za-z0-9_]*)" header "${text}")
if(NOT header)
    message(FATAL_ERROR "${INPUT}: the first line must be 'object Name: TClass' or 'inherited Name: TClass'")
endif()
set(class_name "${CMAKE_MATCH_3}")
string(FIND "${text}" ")kvxres\"" clash)
if(NOT clash EQUAL -1)
    message(FATAL_ERROR "${INPUT}: the text contains the sequence )kvxres\" and cannot be embedded")
endif()
get_filename_component(file_name "${INPUT}" NAME)
file(WRITE "${OUTPUT}.tmp"
"// Generated from ${file_name} by kvx_form_resources; edit the resource, not this file.
#include \"ui/FormResource.h\"

namespace {
const char kResourceText[] = R\"kvxres(${text})kvxres\";
[[maybe_unused]] const bool kRegistered = ::rt::RegisterFormResource(\"${class_name}\", kResourceText, \"${file_name}\");
} // namespace
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
