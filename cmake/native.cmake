# Native (Linux) build: the portable logic and its unit tests.
find_package(GTest REQUIRED)
file(GLOB MARVOLT_NATIVE_TESTS CONFIGURE_DEPENDS tests/native/*.cpp)
add_executable(marvolt_native_tests ${MARVOLT_NATIVE_TESTS})
target_link_libraries(marvolt_native_tests PRIVATE marvolt_fakes GTest::gmock GTest::gtest GTest::gtest_main)
add_test(NAME native COMMAND marvolt_native_tests)

include(cmake/bench.cmake)
