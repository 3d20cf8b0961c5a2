# Export and import tables of the Windows builds.
#
# The project's .def files name stdcall functions as 32-bit Windows does,
# with the size of their arguments ("AcqTimeLapse@28"). vx_def_for_target
# writes the form the build's target takes: unchanged for i686, without the
# sizes for x86_64, where names are never decorated ("X = X@n" becomes "X").

# vx_def_for_target(<source .def> <output variable>): the build's form of a
# .def file, written into the binary directory; the output variable names it.
function(vx_def_for_target source out_var)
  get_filename_component(name ${source} NAME)
  set(output ${CMAKE_CURRENT_BINARY_DIR}/def/${name})
  file(READ ${source} text)
  if(NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
    string(REGEX REPLACE "([A-Za-z_][A-Za-z0-9_]*)@[0-9]+" "\\1" text "${text}")
    string(REGEX REPLACE "([A-Za-z_][A-Za-z0-9_]*) = ([A-Za-z_][A-Za-z0-9_]*)\n" "\\1\n" text "${text}")
  endif()
  file(GENERATE OUTPUT ${output} CONTENT "${text}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  set(${out_var} ${output} PARENT_SCOPE)
endfunction()

# vx_import_library(<target> <source .def>): an INTERFACE target that links
# the import library made from the .def file (its LIBRARY line names the
# DLL). Entries marked NONAME are imported by ordinal, the others by their
# plain names ("@n" is kept in the symbols a 32-bit caller refers to and
# dropped from the name looked up in the DLL).
function(vx_import_library target source)
  vx_def_for_target(${source} def)
  get_filename_component(stem ${source} NAME_WE)
  set(library ${CMAKE_CURRENT_BINARY_DIR}/imports/${stem}.imports.a)
  add_custom_command(OUTPUT ${library}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/imports
    COMMAND ${CMAKE_DLLTOOL} --kill-at -d ${def} -l ${library}
    DEPENDS ${def}
    VERBATIM)
  add_custom_target(${target}_file DEPENDS ${library})
  add_library(${target} INTERFACE)
  target_link_libraries(${target} INTERFACE ${library})
  add_dependencies(${target} ${target}_file)
endfunction()

# vx_plain_exports(<target>): a DLL that exports its stdcall functions by
# their plain names (no "@n"), as the SDK's and the host's DLLs do, and
# whose import library still serves callers compiled with the declarations
# (which refer to the decorated names on 32-bit Windows). On 64-bit Windows
# names are never decorated and the linker's import library serves as is.
function(vx_plain_exports target)
  if(NOT MINGW)
    return()
  endif()
  set(exports ${CMAKE_CURRENT_BINARY_DIR}/${target}.exports.def)
  target_link_options(${target} PRIVATE "LINKER:--kill-at" "LINKER:--output-def,${exports}")
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # The linker lists each function as "Name = Name@n"; an import library
    # made from "Name@n" with --kill-at binds the decorated symbol to the
    # plain name. It replaces the linker's own.
    set(decorated ${CMAKE_CURRENT_BINARY_DIR}/${target}.decorated.def)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -DIN=${exports} -DOUT=${decorated}
              -P ${PROJECT_SOURCE_DIR}/cmake/DecorateExports.cmake
      COMMAND ${CMAKE_DLLTOOL} --kill-at -d ${decorated} -D $<TARGET_FILE_NAME:${target}>
              -l $<TARGET_LINKER_FILE:${target}>
      VERBATIM)
  endif()
endfunction()
