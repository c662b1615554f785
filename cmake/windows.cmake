# Windows build (mingw-w64 cross or native): the program, the Win32 platform
# layer and the tests that run against the real Windows API (under Wine here).

# Small, self-contained binaries: static C/C++ runtime, unused sections dropped.
set(MARVOLT_SIZE_FLAGS -ffunction-sections -fdata-sections)
set(MARVOLT_STATIC_LINK -static -static-libgcc -static-libstdc++ -Wl,--gc-sections)
# Programs with their own WinMainCRTStartup: no C runtime start-up objects. Data
# imported from a DLL would need the runtime's relocator, so it is refused.
set(MARVOLT_OWN_ENTRY_LINK -nostartfiles -Wl,--disable-auto-import)
add_compile_options(${MARVOLT_SIZE_FLAGS})
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)

# The operating system's side of the platform interfaces, and our own windows.
file(GLOB MARVOLT_WIN32_SOURCES CONFIGURE_DEPENDS platform/win32/*.cpp windows/*.cpp)
add_library(marvolt_win32 STATIC ${MARVOLT_WIN32_SOURCES})
target_link_libraries(marvolt_win32 PUBLIC marvolt_logic user32 gdi32 advapi32 shell32 winmm)

# The program compiles the sources itself, without C++ exceptions or run-time type
# information, and with the runtime helpers of program/: only what it uses of the
# C++ library is linked in (see program/runtime.cpp). The tests link the libraries
# above, built the ordinary way.
# -fno-ipa-sra: the clones it makes of string helpers, one set per source file,
# cost the program about 4 KB and buy nothing measurable.
# -Oz over -Os, small functions called rather than copied in, and the 4-byte
# stack alignment the 32-bit Windows ABI promises anyway (the entry points
# realign where they must): about 2 KB, and nothing the program does is
# measurably slower.
set(MARVOLT_PROGRAM_FLAGS -Oz -fno-inline-small-functions -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables
    -fno-threadsafe-statics -fno-ipa-sra -include ${CMAKE_SOURCE_DIR}/program/prelude.h)
# On 32-bit Windows, stack probes make GCC reserve every call's arguments in
# the prologue and store them with long moves instead of pushing them: without
# them the program is about 14 KB smaller. A probe only matters for a frame of a
# page or more (the guard page is met by every call's return address otherwise),
# so such frames and variable-length arrays fail the build instead.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  list(APPEND MARVOLT_PROGRAM_FLAGS -mpreferred-stack-boundary=2 -mno-stack-arg-probe -Werror=frame-larger-than=3900
    -Werror=vla)
endif()
include(cmake/update.cmake)
# Tests against the real Windows API. GoogleTest is built from Debian's source package.
option(MARVOLT_WIN32_TESTS "Build the tests that run under Windows or Wine" ON)
if(MARVOLT_WIN32_TESTS)
  set(GTEST_SOURCE_DIR "/usr/src/googletest" CACHE PATH "GoogleTest sources")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  file(GLOB MARVOLT_WIN32_TEST_SOURCES CONFIGURE_DEPENDS tests/win32/*.cpp)
  add_executable(marvolt_win32_tests ${MARVOLT_WIN32_TEST_SOURCES})
  target_link_libraries(marvolt_win32_tests PRIVATE marvolt_win32 gmock gtest_main ole32)
  target_link_options(marvolt_win32_tests PRIVATE ${MARVOLT_STATIC_LINK})

  # End-to-end tests: they start the real Marvolt.exe and drive it through the
  # desktop. The test module is loaded into the program to report its menus, and
  # registered as the audio policy class to record the program's calls.
  add_library(marvolt_e2e_hook SHARED tests/e2e/hook/e2e_hook.cpp tests/e2e/hook/e2e_hook.def)
  set_target_properties(marvolt_e2e_hook PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  target_include_directories(marvolt_e2e_hook PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(marvolt_e2e_hook PRIVATE user32 shell32 uuid)
  target_link_options(marvolt_e2e_hook PRIVATE ${MARVOLT_STATIC_LINK} -Wl,--enable-stdcall-fixup)

  file(GLOB MARVOLT_E2E_SOURCES CONFIGURE_DEPENDS tests/e2e/*.cpp)
  add_executable(marvolt_e2e_tests ${MARVOLT_E2E_SOURCES})
  target_include_directories(marvolt_e2e_tests PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/generated)
  target_link_libraries(marvolt_e2e_tests PRIVATE gtest user32 gdi32 advapi32 shell32 winmm ole32)
  target_link_options(marvolt_e2e_tests PRIVATE ${MARVOLT_STATIC_LINK})
endif()

include(cmake/bench.cmake)
