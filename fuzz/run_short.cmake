# Runs one fuzz target for a fixed number of inputs, seeded, starting from
# its corpus; new inputs land in WORKDIR (emptied first). Fails on a crash,
# a sanitizer report, a hang or a leak.
file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR}/new ${WORKDIR}/artifacts)
execute_process(
  COMMAND ${PROGRAM} -runs=${RUNS} -seed=1 -max_len=65536 -rss_limit_mb=4096 -timeout=60
          -print_final_stats=1 -artifact_prefix=${WORKDIR}/artifacts/ ${WORKDIR}/new ${CORPUS}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} failed (${result}); the input is in ${WORKDIR}/artifacts")
endif()
