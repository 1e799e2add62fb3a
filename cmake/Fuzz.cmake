# Fuzz build (TANDRIX_FUZZ=ON, clang only): the system's code instrumented for libFuzzer with
# ASan and UBSan, and one executable per tests/fuzz/fuzz_*.cpp. No GoogleTest, no simulation;
# each target links only the objects of the core library it uses. The window layer (src/app,
# src/ui) is left out: nothing in it reads peer bytes by itself.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "TANDRIX_FUZZ needs clang: -DCMAKE_CXX_COMPILER=clang++")
endif()

set(TANDRIX_FUZZ_FLAGS -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
    -fno-sanitize-recover=undefined -g)

set(TANDRIX_FUZZ_CORE_SOURCES ${TANDRIX_CORE_SOURCES})
list(FILTER TANDRIX_FUZZ_CORE_SOURCES EXCLUDE REGEX "/src/(app|ui)/")
add_library(tandrix_core STATIC ${TANDRIX_FUZZ_CORE_SOURCES})
target_include_directories(tandrix_core PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/res)
target_compile_options(tandrix_core PRIVATE ${TANDRIX_WARNINGS} ${TANDRIX_FUZZ_FLAGS})

file(GLOB TANDRIX_FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz_*.cpp)
foreach(source ${TANDRIX_FUZZ_SOURCES})
    get_filename_component(target ${source} NAME_WE)
    add_executable(${target} ${source})
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_link_libraries(${target} PRIVATE tandrix_core)
    target_compile_options(${target} PRIVATE ${TANDRIX_WARNINGS} ${TANDRIX_FUZZ_FLAGS})
    target_link_options(${target} PRIVATE -fsanitize=fuzzer,address,undefined)
endforeach()
