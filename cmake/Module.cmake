# Common compile options for our own code.
add_library(orv_options INTERFACE)
target_include_directories(orv_options INTERFACE ${PROJECT_SOURCE_DIR})
target_compile_options(orv_options INTERFACE
  -Wall -Wextra -Wpedantic -Werror
  # Virtual handlers of the component model routinely ignore some of their arguments.
  -Wno-unused-parameter)
# Tests, benchmarks and generators find fixtures and data through ORV_SOURCE_DIR. The libraries do
# not see it, so that their objects do not depend on where the tree lies (ccache then shares them
# between checkouts).
add_library(orv_source_dir INTERFACE)
target_compile_definitions(orv_source_dir INTERFACE ORV_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
if(ORV_FUZZ_COVERAGE)
  target_compile_options(orv_options INTERFACE -fsanitize=fuzzer-no-link)
endif()
if(ORV_SANITIZE)
  target_compile_options(orv_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(orv_options INTERFACE -fsanitize=address,undefined -fno-sanitize-recover=all)
endif()

function(orv_unity target)
  if(ORV_UNITY)
    set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE ${ORV_UNITY_BATCH_SIZE})
    # g++ takes every source of a batch for a header and warns of a class whose base lives in an
    # unnamed namespace (each test's fixture), which is only a fault in a real header.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      target_compile_options(${target} PRIVATE -Wno-subobject-linkage)
    endif()
  endif()
endfunction()

# orv_module(<target> [DEPS <targets>...] [TEST_DEPS <targets>...] [UNITY_SKIP <sources>...])
#
# One static library from the folder's *.cpp files, and one test executable from tests/*.cpp
# whose cases CTest lists one by one (or, with ORV_TEST_SHARDS=N, runs as N shards). New files
# are picked up without editing any CMake file.
function(orv_module name)
  cmake_parse_arguments(M "" "" "DEPS;TEST_DEPS;UNITY_SKIP" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_link_libraries(${name} PUBLIC orv_options ${M_DEPS})
    orv_unity(${name})
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE orv_options ${M_DEPS})
  endif()

  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
  if(tests)
    add_executable(${name}_tests ${tests})
    target_link_libraries(${name}_tests PRIVATE ${name} orv_source_dir ${M_TEST_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
    orv_unity(${name}_tests)
    if(ORV_TEST_SHARDS GREATER 0)
      # A few processes per executable instead of one per case: under the sanitizers a process's
      # start and leak check cost more than most cases.
      foreach(shard RANGE 1 ${ORV_TEST_SHARDS})
        math(EXPR index "${shard} - 1")
        add_test(NAME ${name}_tests.shard${shard} COMMAND ${name}_tests
                 WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/tests)
        set_tests_properties(${name}_tests.shard${shard} PROPERTIES
          ENVIRONMENT "GTEST_TOTAL_SHARDS=${ORV_TEST_SHARDS};GTEST_SHARD_INDEX=${index}")
      endforeach()
    else()
      gtest_discover_tests(${name}_tests
        WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/tests
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60)
    endif()
  endif()
  # Sources (relative to the folder) compiled on their own in a unity build: a file-local name
  # clashes with another source's and is still being worked on.
  foreach(src IN LISTS M_UNITY_SKIP)
    set_source_files_properties(${CMAKE_CURRENT_SOURCE_DIR}/${src} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
  endforeach()
endfunction()
