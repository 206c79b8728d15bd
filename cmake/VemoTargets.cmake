# Helpers that keep the folder CMakeLists short.

# Warnings for our own code.
function(vemo_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()

# The source files of a folder and of the named sub-folders (not deeper).
function(vemo_collect_sources out dir)
  set(patterns ${dir}/*.cpp ${dir}/*.h)
  foreach(sub ${ARGN})
    list(APPEND patterns ${dir}/${sub}/*.cpp ${dir}/${sub}/*.h)
  endforeach()
  file(GLOB found CONFIGURE_DEPENDS ${patterns})
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# One static library from every source file of a folder and of the sub-folders
# that group its capabilities (a folder past about 20 files is grouped so).
#   vemo_folder_library(<target> [SUBDIRS <folders>...] [DEPS <targets>...])
function(vemo_folder_library target)
  cmake_parse_arguments(ARG "" "" "SUBDIRS;DEPS" ${ARGN})
  vemo_collect_sources(sources ${CMAKE_CURRENT_SOURCE_DIR} ${ARG_SUBDIRS})
  list(FILTER sources INCLUDE REGEX "\\.cpp$")
  if(NOT sources)
    # A folder without code yet: an interface library keeps its dependents linking.
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR}/..)
    target_link_libraries(${target} INTERFACE ${ARG_DEPS})
    return()
  endif()
  vemo_collect_sources(all ${CMAKE_CURRENT_SOURCE_DIR} ${ARG_SUBDIRS})
  list(FILTER all INCLUDE REGEX "\\.h$")
  add_library(${target} STATIC ${sources} ${all})
  target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/..)
  target_link_libraries(${target} PUBLIC ${ARG_DEPS})
  set_target_properties(${target} PROPERTIES AUTOMOC ON)
  vemo_warnings(${target})
endfunction()

# What an executable of a sanitizer build needs besides its code: in the
# thread-sanitizer build, a start of child programs that the sanitizer can
# follow (platform/sanitizer/tsan_process_start.cpp says why).
function(vemo_sanitizer_support target)
  if(VEMO_SANITIZE STREQUAL "thread")
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/platform/sanitizer/tsan_process_start.cpp)
  endif()
endfunction()

# One GoogleTest binary from every test file of tests/<folder> and of the named
# sub-folders (mirroring the folder under test); each test is registered with
# CTest and runs with Qt's offscreen platform.
#   vemo_test_binary(<folder> [SUBDIRS <folders>...] DEPS <targets>...)
function(vemo_test_binary folder)
  cmake_parse_arguments(ARG "" "" "SUBDIRS;DEPS" ${ARGN})
  string(REPLACE "/" "_" name "test_${folder}")
  vemo_collect_sources(sources ${CMAKE_CURRENT_SOURCE_DIR}/${folder} ${ARG_SUBDIRS})
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  vemo_sanitizer_support(${name})
  target_link_libraries(${name} PRIVATE vemo_test_main ${ARG_DEPS})
  target_compile_definitions(${name} PRIVATE
    VEMO_TEST_SOURCE_DIR="${CMAKE_SOURCE_DIR}/tests"
    VEMO_TEST_PEERS_DIR="${CMAKE_SOURCE_DIR}/tests/peers")
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  vemo_warnings(${name})
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS "${folder}" TIMEOUT 300)
endfunction()

# A libFuzzer target from tests/fuzz/<name>.cpp, run for a bounded time under the
# CTest label "fuzz" (not part of the default test run), from its seeds if it has any.
# SOURCES adds test support files (paths below tests/, which is on the include path).
#   vemo_fuzz_target(<name> DEPS <targets>... [SOURCES <files>...])
function(vemo_fuzz_target name)
  cmake_parse_arguments(ARG "" "" "DEPS;SOURCES" ${ARGN})
  if(NOT VEMO_FUZZ)
    return()
  endif()
  add_executable(${name} ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/${name}.cpp ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE VEMO_TEST_SOURCE_DIR="${CMAKE_SOURCE_DIR}/tests")
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set(corpus ${CMAKE_CURRENT_BINARY_DIR}/corpus/${name})
  file(MAKE_DIRECTORY ${corpus})
  # A seed folder in the tree (tests/fuzz/seeds/<name>) is read along; new
  # inputs go to the build's corpus only.
  set(seeds ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/seeds/${name})
  if(NOT EXISTS ${seeds})
    set(seeds "")
  endif()
  add_test(NAME ${name} COMMAND ${name} -max_total_time=60 -timeout=10 -rss_limit_mb=2048 ${corpus} ${seeds})
  set_tests_properties(${name} PROPERTIES LABELS "fuzz" ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
