# GoogleTest: the distribution's package natively; its packaged sources compiled for
# the Windows build, since the distribution ships no mingw binaries of it.
if(NOT CURTATE_BUILD_TESTS)
  return()
endif()
if(CMAKE_CROSSCOMPILING)
  set(gtest_src /usr/src/googletest/googletest)
  if(NOT EXISTS ${gtest_src}/src/gtest-all.cc)
    message(FATAL_ERROR "GoogleTest sources not found under ${gtest_src}: install googletest")
  endif()
  add_library(gtest_cross STATIC ${gtest_src}/src/gtest-all.cc)
  target_include_directories(gtest_cross SYSTEM PUBLIC ${gtest_src}/include PRIVATE ${gtest_src})
  add_library(gtest_cross_main STATIC ${gtest_src}/src/gtest_main.cc)
  target_link_libraries(gtest_cross_main PUBLIC gtest_cross)
  add_library(GTest::gtest ALIAS gtest_cross)
  add_library(GTest::gtest_main ALIAS gtest_cross_main)
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

# Adds a unit-test executable made of every .cpp of the calling folder and of the FOLDERS
# below it.
# Natively each test case is its own CTest test; under Wine each executable runs
# once (starting a Wine process per test case would cost seconds each) and writes
# its GoogleTest report for the summary of scripts/test.
function(curtate_unit_tests name)
  cmake_parse_arguments(ARG "" "" "DEPENDS;EXTRA_SOURCES;FOLDERS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(folder IN LISTS ARG_FOLDERS)
    file(GLOB folder_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
    list(APPEND sources ${folder_sources})
  endforeach()
  add_executable(${name} ${sources} ${ARG_EXTRA_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name}
             COMMAND ${name} --gtest_output=xml:Z:${CMAKE_BINARY_DIR}/reports/${name}.xml)
    set_tests_properties(${name} PROPERTIES TIMEOUT 600)
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
