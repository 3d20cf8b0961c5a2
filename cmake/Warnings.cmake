# Warning set shared by every target of the project.
add_library(vx_warnings INTERFACE)
target_compile_options(vx_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
  -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Woverloaded-virtual
  -Wdouble-promotion -Wformat=2 -Wno-format-nonliteral -Wimplicit-fallthrough
  $<$<BOOL:${VX_WARNINGS_AS_ERRORS}>:-Werror>)
