# Benchmarks: on Windows the yardstick programs and the launcher that measures
# start-up against them (script/bench runs them under Wine); natively the
# Google Benchmark of the tray menu's composition and dispatch.

if(WIN32)
  option(MARVOLT_BENCH "Build the yardstick programs and the launcher for script/bench" ON)
  if(MARVOLT_BENCH)
    # The yardsticks get exactly Marvolt's compiler, flags, runtime and stripping.
    add_executable(marvolt_bench_baseline WIN32 bench/baseline/baseline.cpp)
    target_link_libraries(marvolt_bench_baseline PRIVATE user32 shell32)
    add_executable(marvolt_bench_baseline_devices WIN32 bench/baseline/baseline.cpp)
    target_compile_definitions(marvolt_bench_baseline_devices PRIVATE BASELINE_LIST_DEVICES)
    target_link_libraries(marvolt_bench_baseline_devices PRIVATE user32 shell32 winmm)
    add_executable(marvolt_bench_baseline_click WIN32 bench/baseline/baseline.cpp)
    target_compile_definitions(marvolt_bench_baseline_click PRIVATE BASELINE_WRITE_ON_CLICK)
    target_link_libraries(marvolt_bench_baseline_click PRIVATE user32 shell32 winmm advapi32)
    add_executable(marvolt_bench_baseline_quick WIN32 bench/baseline_quick/baseline_quick.cpp)
    add_executable(marvolt_bench_baseline_handover WIN32 bench/baseline_handover/baseline_handover.cpp)
    target_link_libraries(marvolt_bench_baseline_handover PRIVATE user32)
    foreach(yardstick marvolt_bench_baseline marvolt_bench_baseline_devices marvolt_bench_baseline_click
            marvolt_bench_baseline_quick
            marvolt_bench_baseline_handover)
      target_sources(${yardstick} PRIVATE bench/entry/entry.cpp)
      target_link_options(${yardstick} PRIVATE ${MARVOLT_STATIC_LINK} ${MARVOLT_OWN_ENTRY_LINK} -s)
      set_target_properties(${yardstick} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
    endforeach()

    add_executable(marvolt_bench_launcher bench/launcher/launcher.cpp bench/launcher/desktop.cpp)
    target_include_directories(marvolt_bench_launcher PRIVATE ${CMAKE_SOURCE_DIR})
    target_link_libraries(marvolt_bench_launcher PRIVATE user32 gdi32 advapi32 psapi)
    target_link_options(marvolt_bench_launcher PRIVATE ${MARVOLT_STATIC_LINK} -municode)
    set_target_properties(marvolt_bench_launcher PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
  endif()
else()
  option(MARVOLT_BENCH "Build the native benchmarks (needs libbenchmark-dev)" OFF)
  if(MARVOLT_BENCH)
    find_package(benchmark REQUIRED)
    file(GLOB MARVOLT_BENCH_SOURCES CONFIGURE_DEPENDS bench/native/*.cpp)
    add_executable(marvolt_native_bench ${MARVOLT_BENCH_SOURCES})
    target_link_libraries(marvolt_native_bench PRIVATE marvolt_fakes benchmark::benchmark benchmark::benchmark_main)
  endif()
endif()
