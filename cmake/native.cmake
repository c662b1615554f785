# Native (Linux) build: the portable logic and its unit tests.
find_package(GTest REQUIRED)
# The tests' tree checks every index and range the library is handed (a read
# past a string or a vector ends the run); the benchmarks' tree measures the
# release library.
option(MARVOLT_BENCH "Build the native benchmarks (needs libbenchmark-dev)" OFF)
if(NOT MARVOLT_BENCH)
  target_compile_definitions(marvolt_logic PUBLIC _GLIBCXX_ASSERTIONS)
endif()
file(GLOB MARVOLT_NATIVE_TESTS CONFIGURE_DEPENDS tests/native/*.cpp)
add_executable(marvolt_native_tests ${MARVOLT_NATIVE_TESTS})
target_link_libraries(marvolt_native_tests PRIVATE marvolt_fakes GTest::gmock GTest::gtest GTest::gtest_main)
add_test(NAME native COMMAND marvolt_native_tests)

include(cmake/bench.cmake)
