# kvx_form_resources(<target> FILES <file>...) - compiles form resources into <target>.
#
# Each file (form-file text syntax, UTF-8) becomes a generated source that registers its text, when the
# library or program loads, as the resource of the class named in its first line
# ("object frmX: TfrmX" or "inherited frmX: TfrmX"). Editing a file regenerates its source at build time.
set(KVX_FORMS_EMBED_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/KvxFormsEmbed.cmake")

function(kvx_form_resources target)
    cmake_parse_arguments(F "" "" "FILES" ${ARGN})
    foreach(file IN LISTS F_FILES)
        get_filename_component(abs "${file}" ABSOLUTE)
        get_filename_component(name "${file}" NAME_WE)
        set(out "${CMAKE_CURRENT_BINARY_DIR}/kvx_forms/${target}/${name}_resource.cpp")
        add_custom_command(
            OUTPUT "${out}"
            COMMAND "${CMAKE_COMMAND}" "-DINPUT=${abs}" "-DOUTPUT=${out}" -P "${KVX_FORMS_EMBED_SCRIPT}"
            DEPENDS "${abs}" "${KVX_FORMS_EMBED_SCRIPT}"
            COMMENT "Form resource ${name}"
            VERBATIM)
        target_sources(${target} PRIVATE "${out}")
    endforeach()
endfunction()
