# Windows build: tandrix.exe (static, resources inside) and the Win32 tests run under Wine.
set(TANDRIX_ART_DIR "" CACHE PATH "Folder with the generated bitmaps and icon")
if(NOT TANDRIX_ART_DIR)
    message(FATAL_ERROR "TANDRIX_ART_DIR must name the folder of the generated artwork")
endif()

add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
set(TANDRIX_WIN_LIBS ws2_32 ole32 oleaut32 shell32 uuid advapi32 comdlg32 comctl32 gdi32 user32)

file(GLOB_RECURSE TANDRIX_WIN32_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/os/win32/*.cpp)
set(TANDRIX_WIN32_MAIN ${CMAKE_SOURCE_DIR}/src/os/win32/WinMain.cpp)
list(REMOVE_ITEM TANDRIX_WIN32_SOURCES ${TANDRIX_WIN32_MAIN})

add_library(tandrix_winlib STATIC ${TANDRIX_CORE_SOURCES} ${TANDRIX_WIN32_SOURCES})
target_include_directories(tandrix_winlib PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/res)
target_compile_options(tandrix_winlib PRIVATE ${TANDRIX_WARNINGS})
target_link_libraries(tandrix_winlib PUBLIC ${TANDRIX_WIN_LIBS})

set(CMAKE_RC_FLAGS
    "${CMAKE_RC_FLAGS} -c 65001 -I ${TANDRIX_ART_DIR} -I ${CMAKE_SOURCE_DIR}/res -I ${CMAKE_SOURCE_DIR}/tests/win32")
add_executable(tandrix WIN32 ${TANDRIX_WIN32_MAIN} ${CMAKE_SOURCE_DIR}/res/tandrix.rc)
target_link_libraries(tandrix PRIVATE tandrix_winlib)
target_link_options(tandrix PRIVATE -municode)
target_compile_options(tandrix PRIVATE ${TANDRIX_WARNINGS})

# GoogleTest from the Debian sources, cross-built.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# The test program carries its own templates and bitmaps (tests/win32/*.rc) for the dialog
# host tests.
file(GLOB_RECURSE TANDRIX_WINTEST_SOURCES CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/tests/win32/*.cpp
    ${CMAKE_SOURCE_DIR}/tests/win32/*.rc
    ${CMAKE_SOURCE_DIR}/tests/contract/*.cpp)
add_executable(tandrix_win_tests ${TANDRIX_WINTEST_SOURCES})
target_include_directories(tandrix_win_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(tandrix_win_tests PRIVATE tandrix_winlib gtest)
target_link_options(tandrix_win_tests PRIVATE -municode)
target_compile_options(tandrix_win_tests PRIVATE ${TANDRIX_WARNINGS})

# A small console helper for the end-to-end scripts (tests/wine).
add_executable(winprobe ${CMAKE_SOURCE_DIR}/tests/wine/probe/winprobe.cpp)
target_link_libraries(winprobe PRIVATE comctl32)
target_link_options(winprobe PRIVATE -municode)
target_compile_options(winprobe PRIVATE ${TANDRIX_WARNINGS})

# A dialog of the program on the real dialog host, with tandrix.exe's resources, for the
# end-to-end scripts (tests/wine).
add_executable(showdialog ${CMAKE_SOURCE_DIR}/tests/wine/probe/showdialog.cpp
    ${CMAKE_SOURCE_DIR}/res/tandrix.rc)
target_link_libraries(showdialog PRIVATE tandrix_winlib)
target_link_options(showdialog PRIVATE -municode)
target_compile_options(showdialog PRIVATE ${TANDRIX_WARNINGS})
