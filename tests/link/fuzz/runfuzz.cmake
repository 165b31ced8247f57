# Runs the link parser's fuzz target for a bounded time from the committed
# seeds; the corpus it grows and any failing input stay in the build folder.
# Variables: FUZZER, SEEDS, DICT, WORK, SECONDS.
file(MAKE_DIRECTORY ${WORK}/corpus ${WORK}/artifacts)
execute_process(
    COMMAND ${FUZZER} -max_total_time=${SECONDS} -timeout=10 -print_final_stats=1
            -dict=${DICT} -artifact_prefix=${WORK}/artifacts/
            ${WORK}/corpus ${SEEDS}
    RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "link parser fuzzing failed (${rc}); the failing input is in ${WORK}/artifacts")
endif()
