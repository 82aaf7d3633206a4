# Build conventions shared by every folder.

# ccache with the source root as base directory, so that a fresh clone in
# another folder hits the same cache.
find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
  set(_launcher ${CMAKE_COMMAND} -E env
      CCACHE_BASEDIR=${CMAKE_SOURCE_DIR}
      CCACHE_NOHASHDIR=true
      CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
      ${CCACHE_PROGRAM})
  set(CMAKE_C_COMPILER_LAUNCHER ${_launcher})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${_launcher})
endif()

if(SORVAMET_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

set(SORVAMET_WARNINGS -Wall -Wextra)

# sorvamet_library(NAME [DEPS ...] [PUBLIC_DEFS ...])
# One library per folder, from the .cpp files of that folder (not its subfolders).
function(sorvamet_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;PUBLIC_DEFS" ${ARGN})
  file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB _headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(_sources)
    add_library(${name} STATIC ${_sources} ${_headers})
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    target_compile_options(${name} PRIVATE ${SORVAMET_WARNINGS})
    if(ARG_PUBLIC_DEFS)
      target_compile_definitions(${name} PUBLIC ${ARG_PUBLIC_DEFS})
    endif()
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# sorvamet_test(NAME [LIBS ...])
# One GoogleTest program from the .cpp files of the calling folder; every test
# runs headless. SORVAMET_TEST_DATA points at the folder's data/, and
# SORVAMET_BIN_DIR at the built programs and tools.
function(sorvamet_test name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT _sources)
    return()
  endif()
  add_executable(${name} ${_sources})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock)
  if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/main.cpp)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  target_compile_options(${name} PRIVATE ${SORVAMET_WARNINGS})
  target_compile_definitions(${name} PRIVATE
    SORVAMET_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data"
    SORVAMET_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    SORVAMET_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8" TIMEOUT 600)
endfunction()
