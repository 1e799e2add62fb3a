# Native build: the system's code against the simulated PC, unit and simulation tests with
# AddressSanitizer and UndefinedBehaviorSanitizer, and the build-time tools.
# With TANDRIX_FUZZ the build holds the libFuzzer targets instead (cmake/Fuzz.cmake).
option(TANDRIX_FUZZ "Build only the libFuzzer targets of tests/fuzz (needs clang)" OFF)
if(TANDRIX_FUZZ)
    include(cmake/Fuzz.cmake)
    return()
endif()

option(TANDRIX_SANITIZE "Build with ASan and UBSan" ON)
if(TANDRIX_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

add_library(tandrix_core STATIC ${TANDRIX_CORE_SOURCES})
target_include_directories(tandrix_core PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/res)
target_compile_options(tandrix_core PRIVATE ${TANDRIX_WARNINGS})

file(GLOB_RECURSE TANDRIX_SIM_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/sim/*.cpp)
add_library(tandrix_sim STATIC ${TANDRIX_SIM_SOURCES})
target_include_directories(tandrix_sim PUBLIC ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(tandrix_sim PUBLIC tandrix_core)
target_compile_options(tandrix_sim PRIVATE ${TANDRIX_WARNINGS})

find_package(GTest REQUIRED)
enable_testing()
include(GoogleTest)

file(GLOB_RECURSE TANDRIX_TEST_SOURCES CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp
    ${CMAKE_SOURCE_DIR}/tests/contract/*.cpp
    ${CMAKE_SOURCE_DIR}/tests/simtests/*.cpp)
add_executable(tandrix_tests ${TANDRIX_TEST_SOURCES})
target_include_directories(tandrix_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(tandrix_tests PRIVATE tandrix_sim GTest::gtest GTest::gtest_main pthread)
target_compile_options(tandrix_tests PRIVATE ${TANDRIX_WARNINGS})
gtest_discover_tests(tandrix_tests DISCOVERY_TIMEOUT 60)

# Build-time artwork generator (bitmaps and icon for the Windows resources).
file(GLOB TANDRIX_ARTGEN_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/artgen/*.cpp)
if(TANDRIX_ARTGEN_SOURCES)
    add_executable(artgen ${TANDRIX_ARTGEN_SOURCES})
    target_compile_options(artgen PRIVATE ${TANDRIX_WARNINGS})
endif()
