# Native tests of the option parser under AddressSanitizer and UndefinedBehaviorSanitizer, and a
# bounded libFuzzer run. Here wchar_t is 32 bits wide, unlike on Windows.
add_executable(options_VxOptionParserTest options/VxOptionParserTest.cpp)
target_link_libraries(options_VxOptionParserTest PRIVATE VxOptions::options GTest::gtest_main)
target_include_directories(options_VxOptionParserTest PRIVATE ${PROJECT_SOURCE_DIR})
add_test(NAME options_VxOptionParserTest COMMAND options_VxOptionParserTest)

# The parser's sources are compiled into the fuzzer itself, so that libFuzzer sees their coverage.
get_target_property(OPTIONS_SOURCES VxOptions::options SOURCES)
list(TRANSFORM OPTIONS_SOURCES PREPEND ${PROJECT_SOURCE_DIR}/options/)
add_executable(options_fuzzer options/OptionParserFuzzer.cpp ${OPTIONS_SOURCES})
target_include_directories(options_fuzzer PRIVATE ${PROJECT_SOURCE_DIR}/options/include)
target_compile_options(options_fuzzer PRIVATE -fsanitize=fuzzer)
target_link_options(options_fuzzer PRIVATE -fsanitize=fuzzer)

# A fixed seed and an empty corpus each time, so that every run tries the same inputs, of up to
# the 32,767 characters a Windows command line may hold.
set(FUZZ_RUNS 400000)
set(FUZZ_CORPUS ${CMAKE_BINARY_DIR}/fuzz-corpus)
add_test(NAME options_fuzz
  COMMAND sh -c "rm -rf \"$1\" && mkdir -p \"$1\" && shift && exec \"$@\"" fuzz
          ${FUZZ_CORPUS} $<TARGET_FILE:options_fuzzer> -seed=1 -runs=${FUZZ_RUNS} -max_len=32767
          -artifact_prefix=${CMAKE_BINARY_DIR}/ -dict=${CMAKE_CURRENT_SOURCE_DIR}/options/fuzz.dict
          ${FUZZ_CORPUS} ${CMAKE_CURRENT_SOURCE_DIR}/options/fuzz-seeds)
set_tests_properties(options_fuzz PROPERTIES TIMEOUT 600)
# A line of nearly the full length runs once by itself: as a seed it would make every mutation
# that long and the bounded run many times slower.
add_test(NAME options_fuzz_long_line
  COMMAND options_fuzzer ${CMAKE_CURRENT_SOURCE_DIR}/options/fuzz-long-line)
