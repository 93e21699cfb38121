# The unit test programs of the Windows build, one per subsystem folder as on
# Linux, run under Wine by tests/windows/wine_check.py (units). Left out are
# the tests that take X11 screenshots or run the program (display, cli, and
# all of reliability/, which damages assets under POSIX process control),
# control POSIX processes or pipes (process, pipe writer), watch files with
# inotify (production), compare with glibc itself (loading heap, rand, sinf)
# or spell paths the POSIX way (show folder), and the asset generator's,
# whose output differs under Windows' maths library. GoogleTest comes from
# Debian's source package (googletest, /usr/src/googletest), built by the
# same compilers.
set(VORN_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources")
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(${VORN_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(linux_only cli_test display_test process_test pipe_writer_test production_test loading_heap_test
  glibc_rand_test glibc_sincosf_test show_folder_test)
file(GLOB VORN_TOOL_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/*/*.cpp)
add_library(vorntools STATIC EXCLUDE_FROM_ALL ${VORN_TOOL_SOURCES})
target_include_directories(vorntools PUBLIC ${CMAKE_SOURCE_DIR} ${LIB3DS_INCLUDE_DIR})
target_link_libraries(vorntools PUBLIC vornpng PkgConfig::VORBIS ${LIB3DS_LIBRARY})
add_library(vorntestsupport STATIC EXCLUDE_FROM_ALL tests/support/gl_context.cpp tests/support/test_files.cpp)
target_link_libraries(vorntestsupport PUBLIC vorncore vorntools gtest)
target_compile_options(vorntestsupport PRIVATE ${VORN_WARNINGS})

add_custom_target(windows_tests)
foreach(dir app fx scene res content platform)
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${dir}/*_test.cpp)
  foreach(name ${linux_only})
    list(FILTER tests EXCLUDE REGEX ".*/${name}\\.cpp$")
  endforeach()
  if(tests)
    add_executable(tests_${dir} EXCLUDE_FROM_ALL ${tests})
    set_target_properties(tests_${dir} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_compile_options(tests_${dir} PRIVATE ${VORN_WARNINGS})
    target_link_libraries(tests_${dir} PRIVATE vorntestsupport gtest_main)
    add_dependencies(windows_tests tests_${dir})
    if(dir STREQUAL "app")
      # The options test reads the manual page; Wine opens the path as given.
      target_compile_definitions(tests_app PRIVATE VORN_MANUAL="${CMAKE_SOURCE_DIR}/packaging/vorndemo.6.in")
    endif()
  endif()
endforeach()
