# Keeps the shape of the sources: every #include runs from a folder to itself or to a folder
# below it, and the portable code includes no Windows header.
#
#   cmake -DSOURCE_DIR=<the folder that holds common/, memory/, ...> -P CheckLayers.cmake
#
# Prints each include that runs against the layers and fails when there is any.

if(NOT SOURCE_DIR)
    message(FATAL_ERROR "CheckLayers: set SOURCE_DIR")
endif()
cmake_path(ABSOLUTE_PATH SOURCE_DIR NORMALIZE OUTPUT_VARIABLE root)

# Each folder and the folders it may include (its own among them). A folder that is not listed
# has no place in the layers yet: give it one here, and in docs/architecture.md.
set(ALLOWED_common            common platform)
set(ALLOWED_memory            memory common platform)
set(ALLOWED_input             input memory common platform)
set(ALLOWED_outputs           outputs memory common platform)
set(ALLOWED_engine            engine input outputs memory common platform)
set(ALLOWED_setup             setup engine input outputs memory common platform)
set(ALLOWED_ui                ui setup engine input outputs memory common platform)
set(ALLOWED_platform          platform)
# The Linux input bridge: its rules (frames, the session with VT2) over the protocol of input/.
set(ALLOWED_bridge            bridge input memory common platform)
# The adapters sit above the core's types they carry (input, outputs, memory), under the programs.
set(ALLOWED_adapters/portable adapters/portable platform common)
set(ALLOWED_adapters/win32    adapters/win32 outputs input memory common platform)
set(ALLOWED_adapters/linux    adapters/linux bridge input memory common platform)
set(ALLOWED_programs          programs adapters/win32 adapters/portable adapters/linux ui setup engine bridge input
                              outputs memory common platform)
set(ALLOWED_stub              stub)

# The folders that build without Windows, natively.
set(PORTABLE_FOLDERS common memory input outputs engine setup ui bridge platform adapters/portable adapters/linux)
# Headers that only Windows has.
set(WINDOWS_HEADERS windows windowsx winuser winbase wingdi shellapi shlobj shlwapi commctrl commdlg dinput ddeml
    tlhelp32 mmsystem objbase ole2 winsock2 ws2tcpip dbt hidsdi hidpi setupapi psapi uxtheme dwmapi)

function(layer_of relative out)
    if(relative MATCHES "^adapters/(win32|portable|linux)/")
        set(${out} "adapters/${CMAKE_MATCH_1}" PARENT_SCOPE)
    elseif(relative MATCHES "^([^/]+)/")
        set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
    else()
        set(${out} "" PARENT_SCOPE)
    endif()
endfunction()

file(GLOB_RECURSE sources RELATIVE "${root}" "${root}/*.h" "${root}/*.hpp" "${root}/*.cpp")
list(SORT sources)
set(faults 0)
set(includes 0)

foreach(relative IN LISTS sources)
    layer_of("${relative}" layer)
    if(NOT DEFINED ALLOWED_${layer})
        message(STATUS "${relative}: the folder '${layer}' has no place in the layers")
        math(EXPR faults "${faults} + 1")
        continue()
    endif()
    set(allowed ${ALLOWED_${layer}})
    list(JOIN allowed ", " allowed_text)
    list(FIND PORTABLE_FOLDERS "${layer}" portable)

    file(STRINGS "${root}/${relative}" lines REGEX "^[ \t]*#[ \t]*include")
    cmake_path(GET relative PARENT_PATH folder)
    foreach(line IN LISTS lines)
        math(EXPR includes "${includes} + 1")
        if(line MATCHES "include[ \t]*<([^>]+)>")
            set(header "${CMAKE_MATCH_1}")
            string(TOLOWER "${header}" lower)
            string(REGEX REPLACE "\\.h$" "" stem "${lower}")
            list(FIND WINDOWS_HEADERS "${stem}" windows)
            if(portable GREATER -1 AND windows GREATER -1 AND lower MATCHES "\\.h$")
                message(STATUS "${relative}: includes <${header}>, but '${layer}' builds without Windows")
                math(EXPR faults "${faults} + 1")
            endif()
        elseif(line MATCHES "include[ \t]*\"([^\"]+)\"")
            set(path "${CMAKE_MATCH_1}")
            # A path from the source root, or else one beside the including file.
            if(EXISTS "${root}/${path}")
                set(target "${path}")
            elseif(EXISTS "${root}/${folder}/${path}")
                cmake_path(SET target NORMALIZE "${folder}/${path}")
            else()
                message(STATUS "${relative}: includes \"${path}\", which is not among the sources")
                math(EXPR faults "${faults} + 1")
                continue()
            endif()
            layer_of("${target}" target_layer)
            list(FIND allowed "${target_layer}" ok)
            if(target MATCHES "^\\.\\./" OR ok EQUAL -1)
                message(STATUS "${relative}: includes ${target}, but '${layer}' may only use: ${allowed_text}")
                math(EXPR faults "${faults} + 1")
            endif()
        endif()
    endforeach()
endforeach()

list(LENGTH sources files)
if(faults GREATER 0)
    message(FATAL_ERROR "${faults} include(s) of ${files} files run against the layers")
endif()
message(STATUS "${files} files, ${includes} includes: every include runs downward")
