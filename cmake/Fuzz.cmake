# Fuzz build (TANDRIX_FUZZ=ON, clang only): the system's code and the simulated PC instrumented
# for libFuzzer with ASan and UBSan, and one executable per tests/fuzz/fuzz_*.cpp. No
# GoogleTest; each target links only the objects it uses.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "TANDRIX_FUZZ needs clang: -DCMAKE_CXX_COMPILER=clang++")
endif()

set(TANDRIX_FUZZ_FLAGS -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
    -fno-sanitize-recover=undefined -g)

add_library(tandrix_core STATIC ${TANDRIX_CORE_SOURCES})
target_include_directories(tandrix_core PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/res)
target_compile_options(tandrix_core PRIVATE ${TANDRIX_WARNINGS} ${TANDRIX_FUZZ_FLAGS})

file(GLOB_RECURSE TANDRIX_FUZZ_SIM_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/sim/*.cpp)
add_library(tandrix_sim STATIC ${TANDRIX_FUZZ_SIM_SOURCES})
target_include_directories(tandrix_sim PUBLIC ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(tandrix_sim PUBLIC tandrix_core)
target_compile_options(tandrix_sim PRIVATE ${TANDRIX_WARNINGS} ${TANDRIX_FUZZ_FLAGS})

file(GLOB TANDRIX_FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz_*.cpp)
foreach(source ${TANDRIX_FUZZ_SOURCES})
    get_filename_component(target ${source} NAME_WE)
    add_executable(${target} ${source})
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_link_libraries(${target} PRIVATE tandrix_sim pthread)
    target_compile_options(${target} PRIVATE ${TANDRIX_WARNINGS} ${TANDRIX_FUZZ_FLAGS})
    target_link_options(${target} PRIVATE -fsanitize=fuzzer,address,undefined)
endforeach()
