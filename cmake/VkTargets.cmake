# vk_layer(NAME DEPS <targets below this layer> [PRIVATE_DEPS <outside libraries>])
# Builds one shared library from every .cpp under the calling folder. Layers are shared so
# that vkcad, the plug-ins it loads and the tests all see one host: one command stack, one
# set of open databases, one class registry.
function(vk_layer name)
  cmake_parse_arguments(A "" "" "DEPS;PRIVATE_DEPS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${name} SHARED ${srcs})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${A_DEPS} PRIVATE ${A_PRIVATE_DEPS})
endfunction()

# vk_test(NAME DIR <tests folder> DEPS <targets>)
# One GoogleTest program per tests folder, its cases registered with ctest one by one.
function(vk_test name)
  cmake_parse_arguments(A "" "DIR" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${A_DIR}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  foreach(dep IN LISTS A_DEPS)
    if(NOT TARGET ${dep})
      return()  # the layer under test is not built yet
    endif()
  endforeach()
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE ${A_DEPS} GTest::gtest GTest::gtest_main GTest::gmock Threads::Threads)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "VK_BIN_DIR=${CMAKE_BINARY_DIR}/bin;VK_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()

# vk_bench(NAME DIR <bench folder> DEPS <targets>): one benchmark program per folder.
function(vk_bench name)
  cmake_parse_arguments(A "" "DIR" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${A_DIR}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  foreach(dep IN LISTS A_DEPS)
    if(NOT TARGET ${dep})
      return()
    endif()
  endforeach()
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE ${A_DEPS} benchmark::benchmark benchmark::benchmark_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
endfunction()
