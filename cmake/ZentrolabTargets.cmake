# Standard headers most library sources parse, precompiled by a library that
# compiles apart files besides its batch. A library that is one batch reads
# its headers once either way, and writing them out as a precompiled header
# first would cost more than it saves.
set(ZL_LIBRARY_PRECOMPILED <algorithm> <array> <atomic> <cmath> <cstdint> <cstring> <limits>
    <memory> <mutex> <new> <string> <utility> <vector>)
# Libraries and layer test programs compile their files in batches, one
# translation unit a batch: each header is parsed, and each inline function
# it holds compiled, once a batch, not once a file. A batch is the whole
# layer, its subfolders included (0: no limit), so names local to a file must
# be unique within its layer.
set(ZL_UNITY_BATCH 0)

# One static library per layer folder; sources are every .cpp below it.
# APART names sources that compile alone, outside the batches: their
# file-local names repeat another file's. EXCLUDE and APART take paths from
# the layer's folder.
function(zl_add_layer_library name)
  cmake_parse_arguments(ARG "" "" "DEPENDS;SYSTEM_LIBS;EXCLUDE;APART" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  foreach(excluded IN LISTS ARG_EXCLUDE)  # sources of the layer's executables
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${excluded})
  endforeach()
  if(sources)
    add_library(${name} STATIC ${sources})
    set(scope PUBLIC)
  else()  # a layer that so far has headers only
    add_library(${name} INTERFACE)
    set(scope INTERFACE)
  endif()
  target_include_directories(${name} ${scope} ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} ${scope} ${ARG_DEPENDS} ${ARG_SYSTEM_LIBS})
  if(sources)
    if(ARG_APART)
      target_precompile_headers(${name} PRIVATE ${ZL_LIBRARY_PRECOMPILED})
    endif()
    set_target_properties(${name} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE ${ZL_UNITY_BATCH})
    set_source_files_properties(${ARG_APART} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
  endif()
  set_property(GLOBAL APPEND PROPERTY ZL_LAYER_LIBRARIES ${name})
endfunction()

# Every *_test.cpp below tests/<layer>/ joins its layer's one test program,
# <layer>_tests, linked once rather than once per file. ctest still runs each
# test in a process of its own, so a crash names its test and no test sees
# another's state. A file listed after ALONE sets something for its whole
# process (sanitizer options, operator new) and is a program of its own in
# every build. Every other file is a program of its own too,
# <layer>_<File>_test (whatever subfolder holds it, so a file's name is unique
# in its layer), built only when asked for by name: the ThreadSanitizer
# suites run whole, and one file builds fast while working on it.
# APART, as for the libraries, names files that compile outside the batches.
# ALONE and APART take paths from tests/<layer>/.
function(zl_add_layer_tests layer)
  cmake_parse_arguments(ARG "" "" "DEPENDS;ALONE;APART" ${ARGN})
  file(GLOB_RECURSE test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  set(shared_sources ${test_sources})
  foreach(src IN LISTS test_sources)
    get_filename_component(stem ${src} NAME_WE)
    file(RELATIVE_PATH path ${CMAKE_CURRENT_SOURCE_DIR} ${src})
    set(program ${layer}_${stem})
    if(TARGET ${program})
      message(FATAL_ERROR "${path}: another test file of ${layer} has the name ${stem}.cpp")
    endif()
    zl_add_test_program(${program} ${src} "${ARG_DEPENDS}")
    if(path IN_LIST ARG_ALONE)
      list(REMOVE_ITEM shared_sources ${src})
      zl_discover_tests(${program})
    else()
      set_target_properties(${program} PROPERTIES EXCLUDE_FROM_ALL ON)
    endif()
  endforeach()
  if(shared_sources)  # none in a layer whose tests are still to come
    zl_add_test_program(${layer}_tests "${shared_sources}" "${ARG_DEPENDS}")
    set_target_properties(${layer}_tests PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE ${ZL_UNITY_BATCH})
    # A batch includes its test files, and GCC takes a fixture in an
    # anonymous namespace for one declared in a header.
    target_compile_options(${layer}_tests PRIVATE $<$<CXX_COMPILER_ID:GNU>:-Wno-subobject-linkage>)
    set_source_files_properties(${ARG_APART} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
    zl_discover_tests(${layer}_tests)
  endif()
endfunction()

# Test code builds unoptimised in every tree: the code under test keeps the
# tree's level, and the tests' long runs of assertions compile in half the
# time. Unoptimised, GCC also has no inlined std::string copies to give its
# false bounds warnings on, so precompiled headers serve the optimised tree.
# Every test program, the ThreadSanitizer suites included, reads GoogleTest
# as the test main precompiled it, once a tree: a layer's one batch would not
# repay a precompiled header of its own.
function(zl_add_test_program target sources depends)
  add_executable(${target} ${sources})
  target_compile_options(${target} PRIVATE -O0)
  target_precompile_headers(${target} REUSE_FROM zl_test_main)
  target_link_libraries(${target} PRIVATE ${depends} zl_test_main GTest::gtest GTest::gmock)
  target_compile_definitions(${target} PRIVATE ZL_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
endfunction()

function(zl_discover_tests target)
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1")
endfunction()
