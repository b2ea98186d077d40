# One static library per layer folder; sources are every .cpp below it.
function(zl_add_layer_library name)
  cmake_parse_arguments(ARG "" "" "DEPENDS;SYSTEM_LIBS;EXCLUDE" ${ARGN})
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
  set_property(GLOBAL APPEND PROPERTY ZL_LAYER_LIBRARIES ${name})
endfunction()

# Every tests/<layer>/*_test.cpp becomes its own test program, so one
# broken suite never hides the others.
function(zl_add_layer_tests layer)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  foreach(src IN LISTS test_sources)
    get_filename_component(stem ${src} NAME_WE)
    set(target ${layer}_${stem})
    add_executable(${target} ${src})
    target_link_libraries(${target} PRIVATE ${ARG_DEPENDS} zl_test_main GTest::gtest GTest::gmock)
    target_compile_definitions(${target} PRIVATE ZL_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                         PROPERTIES ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1")
  endforeach()
endfunction()
