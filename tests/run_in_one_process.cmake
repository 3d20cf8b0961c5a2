# Runs one GoogleTest program with all its tests in one process, in the
# order GTEST_SHUFFLE / GTEST_RANDOM_SEED from the environment ask for, in an
# empty working folder and with TMPDIR pointing at an empty folder of its
# own. Fails when the program fails or leaves a file behind in either
# folder: tests keep their files inside scratch folders they remove.
#   cmake -DPROGRAM=<test program> -DWORKDIR=<folder> [-DEMULATOR=<runner>] -P run_in_one_process.cmake
# EMULATOR runs programs of another system (Wine for the Windows builds),
# which find their temporary folder through TMP and TEMP instead.
if(NOT PROGRAM OR NOT WORKDIR)
  message(FATAL_ERROR "PROGRAM and WORKDIR are required")
endif()

if(DEFINED ENV{TMPDIR} AND IS_DIRECTORY "$ENV{TMPDIR}")
  set(base "$ENV{TMPDIR}")
else()
  set(base "/tmp")
endif()
get_filename_component(name "${PROGRAM}" NAME_WE)
string(RANDOM LENGTH 8 suffix)
set(tmp "${base}/vx_one_process_${name}_${suffix}")

file(REMOVE_RECURSE "${WORKDIR}")
file(MAKE_DIRECTORY "${WORKDIR}" "${tmp}")
if(EMULATOR)
  # Wine keeps its server's socket under TMPDIR: the running server is
  # only found with TMPDIR unchanged.
  set(ENV{TMP} "${tmp}")
  set(ENV{TEMP} "${tmp}")
else()
  set(ENV{TMPDIR} "${tmp}")
endif()
execute_process(COMMAND ${EMULATOR} "${PROGRAM}" WORKING_DIRECTORY "${WORKDIR}" RESULT_VARIABLE status)

file(GLOB_RECURSE left LIST_DIRECTORIES true "${WORKDIR}/*" "${tmp}/*")
file(REMOVE_RECURSE "${tmp}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${name} failed in one process (exit ${status})")
endif()
if(left)
  string(REPLACE ";" "\n  " left "${left}")
  message(FATAL_ERROR "${name} left files behind:\n  ${left}")
endif()
