# One fuzz target's test: every seed and regression input once, under the limits, then
# fuzzing from the corpus and the seeds for SECONDS. LIMITS and FUZZING are libFuzzer options
# separated by commas.
#     cmake -D PROGRAM=... -D LIMITS=... -D FUZZING=... -D CORPUS=... -D SEEDS=...
#           -D REGRESSIONS=... -D SECONDS=... -P RunFuzzTest.cmake
string(REPLACE "," ";" LIMITS "${LIMITS}")
string(REPLACE "," ";" FUZZING "${FUZZING}")
file(GLOB inputs ${SEEDS}/* ${REGRESSIONS}/*)
if(NOT inputs)
  message(FATAL_ERROR "No seeds in ${SEEDS}: build the fuzz-seeds target")
endif()
execute_process(COMMAND ${PROGRAM} ${LIMITS} ${inputs} RESULT_VARIABLE replayed)
if(NOT replayed EQUAL 0)
  message(FATAL_ERROR "A seed or regression input is a finding (${replayed})")
endif()
execute_process(COMMAND ${PROGRAM} ${LIMITS} ${FUZZING} -max_total_time=${SECONDS}
                        -print_final_stats=1 ${CORPUS} ${SEEDS}
                RESULT_VARIABLE fuzzed)
if(NOT fuzzed EQUAL 0)
  message(FATAL_ERROR "Fuzzing found an input that fails (${fuzzed}); see the artifact above")
endif()
