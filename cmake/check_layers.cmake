# The layering check: every `#include "..."` in the source folders must name
# the folder itself or a folder its layer may use. Run as
#   cmake -DSOURCE_DIR=<tree> -P check_layers.cmake
# and fails (with every offending include listed) when one does not.
#
# The table below is the architecture (docs/architecture.md draws it): each
# folder with the folders it may include. The CMake targets link the same
# way, so an include outside the table does not compile either; this check
# also covers what the link graph cannot see (a header-only use, a test
# build that happens to have more on its include path).

if(NOT SOURCE_DIR)
  message(FATAL_ERROR "check_layers.cmake: pass -DSOURCE_DIR=<project root>")
endif()

set(layer_platform "")
set(layer_base     "platform")
set(layer_sdk      "")
set(layer_hostlib  "")
set(layer_sim      "sdk;hostlib")
set(layer_engines  "sdk;base;platform")
set(layer_state    "base;platform")
set(layer_camera   "state;engines;sdk;base;platform")
set(layer_ui       "camera;state;engines;sdk;base;platform")
set(layer_driver   "ui;camera;state;engines;sdk;hostlib;base;platform")
set(layer_host     "driver;sim;hostlib;platform")
set(folders platform base sdk hostlib sim engines state camera ui driver host)

# The first part of an include path names the folder it lives in; the
# simulators' include root is sim/, so their libraries' names stand for it.
function(folder_of_include include result)
  string(REGEX MATCH "^[^/]+" first "${include}")
  if(first STREQUAL "vividozuz" OR first STREQUAL "hostimaging")
    set(first sim)
  endif()
  set(${result} "${first}" PARENT_SCOPE)
endfunction()

set(problems "")
set(checked 0)
foreach(folder IN LISTS folders)
  if(NOT IS_DIRECTORY "${SOURCE_DIR}/${folder}")
    continue()
  endif()
  file(GLOB_RECURSE sources "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
  foreach(source IN LISTS sources)
    math(EXPR checked "${checked} + 1")
    file(STRINGS "${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    get_filename_component(source_dir "${source}" DIRECTORY)
    file(RELATIVE_PATH shown "${SOURCE_DIR}" "${source}")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*$" "\\1" include "${line}")
      # Beside the including file: its own folder.
      if(EXISTS "${source_dir}/${include}")
        continue()
      endif()
      folder_of_include("${include}" target)
      if(target STREQUAL folder)
        continue()
      endif()
      list(FIND folders "${target}" known)
      if(known EQUAL -1)
        list(APPEND problems "${shown}: \"${include}\" is in no folder of the layer table")
        continue()
      endif()
      list(FIND layer_${folder} "${target}" allowed)
      if(allowed EQUAL -1)
        list(APPEND problems "${shown}: \"${include}\" - ${folder} may not include ${target}")
      endif()
    endforeach()
  endforeach()
endforeach()

if(problems)
  list(LENGTH problems count)
  list(JOIN problems "\n  " text)
  message(FATAL_ERROR "${count} include(s) against the layers:\n  ${text}")
endif()
message(STATUS "layers: ${checked} files, no include against the layer table")
