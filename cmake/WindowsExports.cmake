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
