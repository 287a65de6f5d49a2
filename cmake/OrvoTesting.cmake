# Helpers that register test binaries with CTest.
include(GoogleTest)

# Console tests: run in parallel, no display needed.
function(orvo_console_tests target)
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
endfunction()

# Window tests share the one X server and its input focus, so they run one at a time.
function(orvo_window_tests target)
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES RESOURCE_LOCK x_display)
endfunction()

# A folder's tests, its feature subfolders included: *_window_test.cpp go to <name>_window_tests,
# the rest to <name>_tests. Headers at the folder's root are shared by its subfolders. A subfolder
# with a CMakeLists.txt of its own (tests/chart/core, for the library target chart/core) makes
# its own binaries and is left out here.
function(orvo_folder_tests name)
  cmake_parse_arguments(ARG "" "" "LIBS;WINDOW_LIBS" ${ARGN})
  file(GLOB_RECURSE all_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB_RECURSE own_lists CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*/CMakeLists.txt)
  set(console_sources)
  set(window_sources)
  foreach(src ${all_sources})
    set(elsewhere FALSE)
    foreach(own_list ${own_lists})
      cmake_path(GET own_list PARENT_PATH own_dir)
      cmake_path(IS_PREFIX own_dir ${src} NORMALIZE inside)
      if(inside)
        set(elsewhere TRUE)
      endif()
    endforeach()
    if(elsewhere)
      continue()
    elseif(src MATCHES "_window_test\\.cpp$")
      list(APPEND window_sources ${src})
    elseif(src MATCHES "_test\\.cpp$")
      list(APPEND console_sources ${src})
    endif()
  endforeach()
  if(console_sources)
    add_executable(${name}_tests ${console_sources})
    target_link_libraries(${name}_tests PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock orvo::warnings)
    target_include_directories(${name}_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
    orvo_console_tests(${name}_tests)
  endif()
  if(window_sources)
    # tests/support brings the one main() that starts wx, and the harness of window_test.h.
    add_executable(${name}_window_tests ${window_sources})
    target_include_directories(${name}_window_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name}_window_tests PRIVATE ${ARG_LIBS} ${ARG_WINDOW_LIBS}
      orvo_window_test_support GTest::gtest GTest::gmock orvo::warnings)
    orvo_window_tests(${name}_window_tests)
  endif()
endfunction()
