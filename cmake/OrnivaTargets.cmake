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
