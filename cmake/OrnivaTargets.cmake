# Helpers shared by every folder of the tree.

# orniva_library(NAME [DEPS lib...]): a static library of every .cpp file in
# the calling folder (new files are picked up at the next build).
function(orniva_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  else()
    # A subsystem with no code yet: an empty placeholder others may link.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# orniva_test(NAME LABEL label SOURCES file... LIBS lib...): a GoogleTest
# program whose cases CTest lists one by one under the given label.
function(orniva_test name)
  cmake_parse_arguments(ARG "" "LABEL" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_LABEL)
    set(ARG_LABEL unit)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    ORNIVA_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    ORNIVA_SHARED_DATA_DIR="${PROJECT_SOURCE_DIR}/../shared/data")
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS ${ARG_LABEL})
endfunction()

# Fails the configuration when any target outside the Qt view links Qt: the
# core and every subsystem stay toolkit-free.
function(orniva_check_qt_confined)
  get_property(dirs DIRECTORY ${PROJECT_SOURCE_DIR} PROPERTY SUBDIRECTORIES)
  set(pending ${PROJECT_SOURCE_DIR} ${dirs})
  while(pending)
    list(POP_FRONT pending dir)
    get_property(sub DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    list(APPEND pending ${sub})
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
      get_target_property(libs ${target} LINK_LIBRARIES)
      if(NOT libs)
        continue()
      endif()
      string(FIND "${libs}" "Qt6::" found)
      if(found GREATER -1)
        file(RELATIVE_PATH rel ${PROJECT_SOURCE_DIR} ${dir})
        if(NOT rel MATCHES "^(src/qt|app|tests/qt)")
          message(FATAL_ERROR "Target ${target} in ${rel} links Qt; only src/qt and app may.")
        endif()
      endif()
    endforeach()
  endwhile()
endfunction()

# Fuzzing. Every parser of outside input has an entry point
# LLVMFuzzerTestOneInput in fuzz/. It is always built as <name>_replay, a plain
# program that runs the entry on the seed files and on a bounded number of
# mutations of them (a CTest test, so every test pass exercises it under the
# build's sanitizers). With ORNIVA_FUZZ on a clang that supports
# -fsanitize=fuzzer it is also built as the libFuzzer program <name>.

# Called once at the top level, before the libraries, so that with ORNIVA_FUZZ
# every library is built with the coverage libFuzzer needs.
macro(orniva_fuzz_setup)
  set(ORNIVA_FUZZ_ENABLED OFF)
  if(ORNIVA_FUZZ)
    include(CheckCXXSourceCompiles)
    set(CMAKE_REQUIRED_FLAGS -fsanitize=fuzzer)
    set(CMAKE_REQUIRED_LINK_OPTIONS -fsanitize=fuzzer)
    check_cxx_source_compiles("
      #include <cstddef>
      #include <cstdint>
      extern \"C\" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) { return 0; }"
      ORNIVA_HAVE_LIBFUZZER)
    unset(CMAKE_REQUIRED_FLAGS)
    unset(CMAKE_REQUIRED_LINK_OPTIONS)
    if(CMAKE_CXX_COMPILER_ID MATCHES "Clang" AND ORNIVA_HAVE_LIBFUZZER)
      set(ORNIVA_FUZZ_ENABLED ON)
      add_compile_options(-fsanitize=fuzzer-no-link)
      add_link_options(-fsanitize=fuzzer-no-link)
    else()
      message(WARNING "ORNIVA_FUZZ needs clang with -fsanitize=fuzzer: only the replay programs are built")
    endif()
  endif()
endmacro()

# orniva_fuzz(NAME SOURCES file... LIBS lib... SEEDS dir [RUNS n]): one fuzz
# entry point; SEEDS is a folder of sample inputs (relative to the calling
# folder), RUNS the number of mutations the replay test tries (default 2000).
function(orniva_fuzz name)
  cmake_parse_arguments(ARG "" "SEEDS;RUNS" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_RUNS)
    set(ARG_RUNS 2000)
  endif()
  set(seeds ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_SEEDS})
  add_executable(${name}_replay ${ARG_SOURCES})
  target_link_libraries(${name}_replay PRIVATE ${ARG_LIBS} orniva_fuzz_replay)
  add_test(NAME fuzz_replay_${name} COMMAND ${name}_replay --runs ${ARG_RUNS} ${seeds})
  set_tests_properties(fuzz_replay_${name} PROPERTIES LABELS unit)
  if(ORNIVA_FUZZ_ENABLED)
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  endif()
endfunction()
