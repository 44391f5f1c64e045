# Writes the plug-in's Viewport 2.0 fragments and graphs from their
# templates, and the header that embeds them in the plug-in:
#
#   cmake -DSOURCE_DIR=<plugSource/viewport> -DALBEDO_TABLE=<model/albedoTable.cpp>
#         -DOUTPUT_DIR=<folder> -DHEADER=<header> -P generateFragments.cmake
#
# A template (<name>.xml.in, or <name>.xml as it stands) is the XML with
# three kinds of line filled in:
#   @LUMAVEIL_IMPLEMENTATIONS <function> <section>...@  the GLSL and HLSL
#       implementations of <function>, whose source is the sections of
#       lumaVeilShading.hlsl named, in order, with LV_entry named <function>
#       and every other LV_ name prefixed with <function>_;
#   @LUMAVEIL_DECLARATIONS <struct> <section>@  the GLSL and HLSL
#       declarations of a structure;
#   @LUMAVEIL_DEFAULTS <property>...@  each property's value: the default the
#       shading source states for it (LV_DEFAULT_<property>), as the
#       template's element of that property types it.
# The GLSL is the HLSL with float2, float3 and float4 spelt vec2, vec3 and
# vec4, `static const` spelt `const`, and the albedo table declared as GLSL
# declares a constant array.
#
# The order below is the order of registration: every fragment before the
# graphs that use it. The light functions' fragment and graph need light API
# v2, which only Maya 2022.3 and later have.
cmake_minimum_required(VERSION 3.25)

set(fragments
    "lumaVeilFloat3PassThrough fragment 1"
    "lumaVeilLightDiffuse fragment 1"
    "lumaVeilLightSpecular fragment 1"
    "lumaVeilLightAccum fragment 1"
    "lumaVeilCombine fragment 1"
    "lumaVeilSurfaceFinal fragment 1"
    "lumaVeilSurfaceOutput fragment 1"
    "lumaVeilLightFunctions fragment 2"
    "lumaVeilSurface graph 1"
    "lumaVeilSurfaceLightAPI2 graph 2")

foreach(variable SOURCE_DIR ALBEDO_TABLE OUTPUT_DIR HEADER)
    if(NOT ${variable})
        message(FATAL_ERROR "generateFragments.cmake: give -D${variable}=")
    endif()
endforeach()

# The albedo table's entries, as model/albedoTable.cpp writes them.
file(READ "${ALBEDO_TABLE}" table_source)
string(REGEX MATCH "return {{([^}]*)}};" table_body "${table_source}")
string(REGEX MATCHALL "[0-9][0-9.e+-]*f" entries "${CMAKE_MATCH_1}")
list(LENGTH entries entry_count)
if(NOT entry_count EQUAL 2001)
    message(FATAL_ERROR "${ALBEDO_TABLE}: found ${entry_count} albedo entries, not 2001")
endif()
list(TRANSFORM entries REPLACE "f$" "")
set(table_values "")
set(column 0)
foreach(entry IN LISTS entries)
    if(column EQUAL 0)
        string(APPEND table_values "\n    ")
    else()
        string(APPEND table_values " ")
    endif()
    string(APPEND table_values "${entry},")
    math(EXPR column "(${column} + 1) % 8")
endforeach()
string(REGEX REPLACE ",$" "" table_values "${table_values}")
set(hlsl_table "static const float LV_albedoTable[2001] = {${table_values}\n};")
set(glsl_table "const float LV_albedoTable[2001] = float[2001](${table_values}\n);")

# The shading source's sections, by name.
file(READ "${SOURCE_DIR}/lumaVeilShading.hlsl" shading)
string(REGEX MATCHALL "//# section [A-Za-z]+" markers "${shading}")
set(section_names "")
foreach(marker IN LISTS markers)
    string(REPLACE "//# section " "" name "${marker}")
    string(FIND "${shading}" "${marker}\n" start)
    string(LENGTH "${marker}\n" marker_length)
    math(EXPR start "${start} + ${marker_length}")
    string(SUBSTRING "${shading}" ${start} -1 rest)
    string(FIND "${rest}" "//# section " end)
    string(SUBSTRING "${rest}" 0 ${end} "section_${name}")
    list(APPEND section_names ${name})
endforeach()

function(glsl_of hlsl result)
    set(text " ${hlsl}")
    # Twice: a match takes the character after the name, which may begin the
    # next one.
    foreach(pass 1 2)
        string(REGEX REPLACE "([^A-Za-z0-9_])float([234])([^A-Za-z0-9_])" "\\1vec\\2\\3" text
                             "${text}")
    endforeach()
    string(REPLACE "static const " "const " text "${text}")
    string(SUBSTRING "${text}" 1 -1 text)
    set(${result} "${text}" PARENT_SCOPE)
endfunction()

# The source of <function> from the sections, as HLSL and as GLSL.
function(fragment_source function sections hlsl_result glsl_result)
    set(hlsl "")
    foreach(section IN LISTS sections)
        if(NOT section IN_LIST section_names)
            message(FATAL_ERROR "lumaVeilShading.hlsl has no section '${section}'")
        endif()
        string(APPEND hlsl "${section_${section}}")
    endforeach()
    string(STRIP "${hlsl}" hlsl)
    glsl_of("${hlsl}" glsl)
    string(REPLACE "@LV_ALBEDO_TABLE@" "${hlsl_table}" hlsl "${hlsl}")
    string(REPLACE "@LV_ALBEDO_TABLE@" "${glsl_table}" glsl "${glsl}")
    foreach(language hlsl glsl)
        string(REPLACE "LV_entry" "${function}" ${language} "${${language}}")
        string(REPLACE "LV_" "${function}_" ${language} "${${language}}")
        if(${language} MATCHES "]]>")
            message(FATAL_ERROR "the source of ${function} holds ]]>, which ends its CDATA")
        endif()
    endforeach()
    set(${hlsl_result} "${hlsl}" PARENT_SCOPE)
    set(${glsl_result} "${glsl}" PARENT_SCOPE)
endfunction()

function(implementations function sections result)
    fragment_source(${function} "${sections}" hlsl glsl)
    set(${result} "    <implementation render=\"OGSRenderer\" language=\"GLSL\" lang_version=\"3.0\">
      <function_name val=\"${function}\"/>
      <source><![CDATA[
${glsl}
]]></source>
    </implementation>
    <implementation render=\"OGSRenderer\" language=\"HLSL\" lang_version=\"11.0\">
      <function_name val=\"${function}\"/>
      <source><![CDATA[
${hlsl}
]]></source>
    </implementation>" PARENT_SCOPE)
endfunction()

function(declarations struct sections result)
    fragment_source(${struct} "${sections}" hlsl glsl)
    set(${result} "    <implementation render=\"OGSRenderer\" language=\"GLSL\" lang_version=\"3.0\">
      <function_name val=\"\"/>
      <declaration name=\"${struct}\"><![CDATA[
${glsl}
]]></declaration>
    </implementation>
    <implementation render=\"OGSRenderer\" language=\"HLSL\" lang_version=\"11.0\">
      <function_name val=\"\"/>
      <declaration name=\"${struct}\"><![CDATA[
${hlsl}
]]></declaration>
    </implementation>" PARENT_SCOPE)
endfunction()

# <values> lines for the properties, from the shading source's defaults.
function(default_values template properties result)
    set(lines "")
    foreach(property IN LISTS properties)
        if(NOT shading MATCHES "static const float LV_DEFAULT_${property} = ([0-9.]+);")
            message(FATAL_ERROR "lumaVeilShading.hlsl states no LV_DEFAULT_${property}")
        endif()
        set(value ${CMAKE_MATCH_1})
        if(NOT template MATCHES "<(float3?) name=\"${property}\"")
            message(FATAL_ERROR "the template names no float or float3 property ${property}")
        endif()
        set(type ${CMAKE_MATCH_1})
        if(type STREQUAL "float3")
            set(value "${value},${value},${value}")
        endif()
        string(APPEND lines "    <${type} name=\"${property}\" value=\"${value}\"/>\n")
    endforeach()
    string(REGEX REPLACE "\n$" "" lines "${lines}")
    set(${result} "${lines}" PARENT_SCOPE)
endfunction()

file(MAKE_DIRECTORY "${OUTPUT_DIR}")
set(header_entries "")
set(header_data "")
set(index 0)
foreach(entry IN LISTS fragments)
    string(REPLACE " " ";" entry "${entry}")
    list(GET entry 0 name)
    list(GET entry 1 kind)
    list(GET entry 2 light_api)
    if(EXISTS "${SOURCE_DIR}/${name}.xml.in")
        file(READ "${SOURCE_DIR}/${name}.xml.in" xml)
    else()
        file(READ "${SOURCE_DIR}/${name}.xml" xml)
    endif()
    while(xml MATCHES "@LUMAVEIL_(IMPLEMENTATIONS|DECLARATIONS|DEFAULTS) ([^@]*)@")
        set(placeholder "${CMAKE_MATCH_0}")
        set(what ${CMAKE_MATCH_1})
        string(REPLACE " " ";" arguments "${CMAKE_MATCH_2}")
        if(what STREQUAL "DEFAULTS")
            default_values("${xml}" "${arguments}" filled)
        else()
            list(POP_FRONT arguments function)
            string(TOLOWER "${what}" command)
            cmake_language(CALL ${command} ${function} "${arguments}" filled)
        endif()
        string(REPLACE "${placeholder}" "${filled}" xml "${xml}")
    endwhile()
    if(xml MATCHES "@")
        message(FATAL_ERROR "${name}: a placeholder is left: ${xml}")
    endif()
    # Written beside and renamed, so that no reader sees half a file.
    file(WRITE "${OUTPUT_DIR}/${name}.xml.part" "${xml}")
    file(RENAME "${OUTPUT_DIR}/${name}.xml.part" "${OUTPUT_DIR}/${name}.xml")

    file(READ "${OUTPUT_DIR}/${name}.xml" hex HEX)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    # ASCII only: each byte is a char of the embedded text on every compiler.
    if(bytes MATCHES "0x[89a-f]")
        message(FATAL_ERROR "${name}: the fragment holds a character outside ASCII")
    endif()
    string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
    string(APPEND header_data "// ${name}.xml\nconst char kFragment${index}[] = {\n${bytes}0x00};\n\n")
    if(kind STREQUAL "graph")
        set(is_graph true)
    else()
        set(is_graph false)
    endif()
    string(APPEND header_entries "    {\"${name}\", ${is_graph}, ${light_api}, kFragment${index}},\n")
    math(EXPR index "${index} + 1")
endforeach()

file(WRITE "${HEADER}.part" "// Written by plugSource/viewport/generateFragments.cmake; do not edit.
// The plug-in's Viewport 2.0 fragments and graphs, in the order of their
// registration, each as its XML text.
#pragma once

namespace lumaveil::viewport {

namespace embedded {
${header_data}}  // namespace embedded

struct EmbeddedFragment {
    const char* name;
    bool isGraph;
    int lightApi;  // the light API it needs: 1, or 2 from Maya 2022.3 on
    const char* xml;
};

inline constexpr EmbeddedFragment embeddedFragments[] = {
${header_entries}};

}  // namespace lumaveil::viewport
")
file(READ "${HEADER}.part" text)
string(REGEX REPLACE ", (kFragment[0-9]+)}" ", embedded::\\1}" text "${text}")
file(WRITE "${HEADER}.part" "${text}")
file(RENAME "${HEADER}.part" "${HEADER}")
