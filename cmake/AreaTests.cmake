# qv_area_tests(PREFIX name LIBRARIES libs... [X11_AREAS areas...]): one test executable per folder
# of the calling directory, <folder>/*Test.cpp -> <name>_<folder in lower case>_tests, linked with
# `libs`, the shared test helpers and GoogleTest/GoogleMock, its private headers found in ../src.
# The areas listed in X11_AREAS (lower case) run each test with an X server of its own.
function(qv_area_tests)
  cmake_parse_arguments(ARG "" "PREFIX" "LIBRARIES;X11_AREAS" ${ARGN})
  file(GLOB area_dirs LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(area_dir IN LISTS area_dirs)
    if(IS_DIRECTORY ${area_dir})
      file(GLOB area_tests CONFIGURE_DEPENDS ${area_dir}/*Test.cpp)
      if(area_tests)
        get_filename_component(area ${area_dir} NAME)
        string(TOLOWER ${area} area)
        set(target ${ARG_PREFIX}_${area}_tests)
        add_executable(${target} ${area_tests})
        target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/../src)
        target_link_libraries(${target} PRIVATE ${ARG_LIBRARIES} qv_test_support GTest::gmock GTest::gtest_main)
        qv_warnings(${target})
        if(area IN_LIST ARG_X11_AREAS)
          qv_x11_test(${target})
        else()
          qv_test(${target})
        endif()
      endif()
    endif()
  endforeach()
endfunction()

# qv_x11_test(target): each of the target's tests runs with an X server of its own
# (scripts/with-own-x-server), for tests that type keys, click, take the clipboard or change the
# keyboard layout: on a shared display, tests running in parallel would see each other's input.
# It takes the place of qv_test (discovery reads the emulator when it is set up).
function(qv_x11_test target)
  set_property(TARGET ${target} PROPERTY CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/with-own-x-server)
  qv_test(${target})
endfunction()
