# Benchmarks (Google Benchmark): built with the native build, never run by ctest. Run them with
# `cmake --build <dir> --target bench`; numbers mean something only in a Release build with
# -DTANDRIX_SANITIZE=OFF.
find_package(benchmark QUIET)
file(GLOB TANDRIX_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
if(benchmark_FOUND AND TANDRIX_BENCH_SOURCES)
    add_executable(tandrix_bench ${TANDRIX_BENCH_SOURCES})
    target_include_directories(tandrix_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_link_libraries(tandrix_bench PRIVATE tandrix_sim benchmark::benchmark
                          benchmark::benchmark_main)
    target_compile_options(tandrix_bench PRIVATE ${TANDRIX_WARNINGS})
    add_custom_target(bench COMMAND tandrix_bench DEPENDS tandrix_bench USES_TERMINAL)
endif()
