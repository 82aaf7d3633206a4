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

# lld links the large test programs in a fraction of the time of GNU ld.
find_program(SORVAMET_LLD ld.lld)
option(SORVAMET_LLD_LINK "Link with lld when it is installed" ON)
if(SORVAMET_LLD AND SORVAMET_LLD_LINK)
  add_link_options(-fuse-ld=lld)
endif()

if(SORVAMET_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
  # The sanitizer build exists to run the tests: light optimisation and line
  # tables only (enough for the sanitizers' stack traces) compile and link
  # in about half the time of -O2 -g.
  foreach(_lang C CXX)
    set(CMAKE_${_lang}_FLAGS_RELWITHDEBINFO "-O1 -g1 -DNDEBUG")
  endforeach()
endif()

# sorvamet_test_code(TARGET): the target's own code is test code (a test
# program or a test driver). Under the sanitizers it compiles at -O0: its
# cost there is all in the optimiser, which halves the compile time, and the
# sanitizers check unoptimised code at least as closely. The libraries it
# calls keep -O1, so the tests run at nearly the same speed.
function(sorvamet_test_code target)
  set_target_properties(${target} PROPERTIES SORVAMET_TEST_CODE ON)
  if(SORVAMET_SANITIZE)
    target_compile_options(${target} PRIVATE -O0)
  endif()
endfunction()

# The libraries of windows and dialogs (the editor control, the designer, the
# program's forms) compile at -O0 under the sanitizers as well: their tests
# spend their time in Qt, which is not instrumented, and in the report
# libraries below them, which keep -O1; this halves their compile time.
set(SORVAMET_SANITIZE_O0_LIBRARIES plat_ui plain_editor zd_designer sorvamet_app)

# Precompiled headers: the Qt and standard headers that nearly every unit of a
# target includes, parsed once per target instead of once per unit.
option(SORVAMET_PCH "Precompile the common headers of each target" ON)
# clang stamps a precompiled header with the time it was made, so that ccache
# would miss every unit using it in a fresh build folder.
if(SORVAMET_PCH AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  add_compile_options("SHELL:-Xclang -fno-pch-timestamp")
endif()
set(SORVAMET_PCH_core
  <QByteArray> <QHash> <QList> <QMap> <QObject> <QString> <QStringList> <QVariant>
  <algorithm> <cstdint> <functional> <map> <memory> <string> <vector>)
set(SORVAMET_PCH_gui ${SORVAMET_PCH_core} <QColor> <QFont> <QImage> <QPainter> <QRect>)
set(SORVAMET_PCH_widgets ${SORVAMET_PCH_gui}
  <QAction> <QApplication> <QCheckBox> <QDialog> <QLabel> <QLineEdit> <QPushButton> <QWidget>)
set(SORVAMET_PCH_test <gtest/gtest.h> <gmock/gmock.h> <QTemporaryDir> <QFile> <QDir>)

# Targets with the same headers and the same optimisation share one
# precompiled header, made by a small target of its own that builds first
# (the compiler takes a precompiled header only with the options it was made
# with, and test code is optimised differently under the sanitizers).
function(sorvamet_pch target kind)
  if(NOT SORVAMET_PCH OR NOT kind)
    return()
  endif()
  get_target_property(_test ${target} SORVAMET_TEST_CODE)
  set(_headers ${SORVAMET_PCH_${kind}} ${ARGN})
  string(MD5 _key "${_headers}|${_test}")
  string(SUBSTRING ${_key} 0 8 _key)
  set(_donor sorvamet_pch_${kind}_${_key})
  if(NOT TARGET ${_donor})
    set(_source ${CMAKE_BINARY_DIR}/sorvamet_pch/${_donor}.cpp)
    file(CONFIGURE OUTPUT ${_source} CONTENT "// Makes the shared precompiled header ${_donor}.\n")
    add_library(${_donor} OBJECT ${_source})
    set(_qt Qt6::Core)
    if(kind STREQUAL gui)
      set(_qt Qt6::Gui)
    elseif(kind STREQUAL widgets)
      set(_qt Qt6::Widgets)
    endif()
    target_link_libraries(${_donor} PRIVATE ${_qt})
    if(_test)
      sorvamet_test_code(${_donor})
    endif()
    if("<gtest/gtest.h>" IN_LIST _headers)
      target_link_libraries(${_donor} PRIVATE GTest::gtest GTest::gmock)
    endif()
    target_compile_options(${_donor} PRIVATE ${SORVAMET_WARNINGS})
    target_precompile_headers(${_donor} PRIVATE ${_headers})
  endif()
  target_precompile_headers(${target} REUSE_FROM ${_donor})
endfunction()

set(SORVAMET_WARNINGS -Wall -Wextra)

# Libraries build as unity batches too: every unit of a folder includes much
# the same headers, and each unit compiles (and instruments, under the
# sanitizers) its own copy of every inline function it uses, so fewer, larger
# units cost much less. A batch of 8 still leaves enough units to keep two
# cores busy. In the folder's CMakeLists.txt, before sorvamet_library, a file
# that cannot share a unit sets SKIP_UNITY_BUILD_INCLUSION on itself, and
# files that can share a unit only with one another set the same UNITY_GROUP;
# the other files are batched in order. Files added to the library later
# (generated ones) compile on their own.
option(SORVAMET_UNITY_LIBRARIES "Build libraries in unity batches" ON)
set(SORVAMET_UNITY_LIBRARY_BATCH 8 CACHE STRING "Source files per unity unit of a library")

# sorvamet_library(NAME [PCH core|gui|widgets] [DEPS ...] [PUBLIC_DEFS ...])
# One library per folder, from the .cpp files of that folder (not its subfolders).
function(sorvamet_library name)
  cmake_parse_arguments(ARG "" "PCH" "DEPS;PUBLIC_DEFS" ${ARGN})
  file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB _headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(_sources)
    add_library(${name} STATIC ${_sources} ${_headers})
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    target_compile_options(${name} PRIVATE ${SORVAMET_WARNINGS})
    if(SORVAMET_SANITIZE AND name IN_LIST SORVAMET_SANITIZE_O0_LIBRARIES)
      sorvamet_test_code(${name})
    endif()
    sorvamet_pch(${name} "${ARG_PCH}")
    if(SORVAMET_UNITY_LIBRARIES)
      set_target_properties(${name} PROPERTIES UNITY_BUILD ON UNITY_BUILD_MODE GROUP)
      # As in the test programs: a class of a file's own header with a member
      # of a file-local type is no longer in the main file of its unit.
      if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        target_compile_options(${name} PRIVATE -Wno-subobject-linkage)
      endif()
      set(_count 0)
      foreach(_source ${_sources})
        get_source_file_property(_group ${_source} UNITY_GROUP)
        get_source_file_property(_skip ${_source} SKIP_UNITY_BUILD_INCLUSION)
        if(NOT _group AND NOT _skip)
          math(EXPR _batch "${_count} / ${SORVAMET_UNITY_LIBRARY_BATCH}")
          set_source_files_properties(${_source} PROPERTIES UNITY_GROUP ${name}_${_batch})
          math(EXPR _count "${_count} + 1")
        endif()
      endforeach()
    endif()
    if(ARG_PUBLIC_DEFS)
      target_compile_definitions(${name} PUBLIC ${ARG_PUBLIC_DEFS})
    endif()
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# sorvamet_test(NAME [PCH core|gui|widgets] [LIBS ...])
# One GoogleTest program from the .cpp files of the calling folder; every test
# runs headless. SORVAMET_TEST_DATA points at the folder's data/, and
# SORVAMET_BIN_DIR at the built programs and tools.
# Test programs build as unity batches of a few files each: test files are
# many, short and header-heavy. A file that cannot share a unit with others
# sets SKIP_UNITY_BUILD_INCLUSION on itself in the folder's CMakeLists.txt.
option(SORVAMET_UNITY_TESTS "Build test programs in unity batches" ON)
function(sorvamet_test name)
  cmake_parse_arguments(ARG "" "PCH" "LIBS" ${ARGN})
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
  sorvamet_test_code(${name})
  if(NOT ARG_PCH)
    set(ARG_PCH core)
  endif()
  sorvamet_pch(${name} ${ARG_PCH} ${SORVAMET_PCH_test})
  if(SORVAMET_UNITY_TESTS)
    set_target_properties(${name} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 6)
    # In a batch, a test file's fixtures in an anonymous namespace are no
    # longer declared in the main file, which GCC's warning would flag.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      target_compile_options(${name} PRIVATE -Wno-subobject-linkage)
    endif()
  endif()
  target_compile_definitions(${name} PRIVATE
    SORVAMET_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data"
    SORVAMET_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    SORVAMET_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
  sorvamet_add_suites(${name})
endfunction()

# One CTest test per GoogleTest suite of a test program, named
# "folder/Suite" (the program's name without "_tests"); see TestSuites.cmake.in.
function(sorvamet_add_suites target)
  string(REGEX REPLACE "_tests$" "" PREFIX ${target})
  set(TARGET ${target})
  set(EXE "$<TARGET_FILE:${target}>")
  set(WORKDIR ${CMAKE_CURRENT_BINARY_DIR})
  configure_file(${PROJECT_SOURCE_DIR}/cmake/TestSuites.cmake.in
                 ${CMAKE_CURRENT_BINARY_DIR}/${target}_suites.cmake.in @ONLY)
  file(GENERATE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${target}_suites.cmake
                INPUT ${CMAKE_CURRENT_BINARY_DIR}/${target}_suites.cmake.in)
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_CURRENT_BINARY_DIR}/${target}_suites.cmake)
endfunction()

# sorvamet_fuzzer(NAME OPTIONS ... SEEDS ...)
# A libFuzzer target needs clang++, so every one of them is built in one
# separate small project (cmake/fuzz), from the fuzz.cmake of the calling
# folder, which puts the program NAME into bin/. That project is built only
# when the test fuzz.build runs, the first test started: the main build does
# not wait for it. NAME.run runs the program with the libFuzzer OPTIONS on a
# scratch corpus for new inputs and the read-only SEEDS folders; OPTIONS bound
# the run by a number of inputs (-runs=N), so that a slow machine does the
# same work as a fast one. Without clang++ the fuzz tests are left out.
function(sorvamet_fuzzer name)
  cmake_parse_arguments(ARG "" "" "OPTIONS;SEEDS" ${ARGN})
  if(ARG_UNPARSED_ARGUMENTS OR NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/fuzz.cmake)
    message(FATAL_ERROR "sorvamet_fuzzer(${name}): takes only OPTIONS and SEEDS; what the target "
      "is built from goes into fuzz.cmake beside it (see cmake/fuzz/CMakeLists.txt)")
  endif()
  find_program(SORVAMET_CLANGXX NAMES clang++ clang++-14)
  if(NOT SORVAMET_CLANGXX)
    message(STATUS "clang++ not found: the ${name} fuzz test is left out")
    return()
  endif()
  get_property(_fragments GLOBAL PROPERTY SORVAMET_FUZZ_FRAGMENTS)
  if(NOT _fragments)
    cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL _sorvamet_fuzz_project)
  endif()
  set_property(GLOBAL APPEND PROPERTY SORVAMET_FUZZ_FRAGMENTS ${CMAKE_CURRENT_SOURCE_DIR}/fuzz.cmake)
  set(_corpus ${CMAKE_CURRENT_BINARY_DIR}/corpus)
  set(_dirs "'${_corpus}'")
  foreach(_seed ${ARG_SEEDS})
    string(APPEND _dirs " '${_seed}'")
  endforeach()
  list(JOIN ARG_OPTIONS " " _options)
  add_test(NAME ${name}.run
    COMMAND /bin/sh -c "mkdir -p '${_corpus}' && exec '${CMAKE_BINARY_DIR}/bin/${name}' ${_options} ${_dirs}")
  set_tests_properties(${name}.run PROPERTIES FIXTURES_REQUIRED sorvamet_fuzz TIMEOUT 600)
endfunction()

# The one project of all fuzz targets, once every folder has declared its own.
function(_sorvamet_fuzz_project)
  include(ExternalProject)
  get_property(_fragments GLOBAL PROPERTY SORVAMET_FUZZ_FRAGMENTS)
  list(JOIN _fragments "|" _fragments)
  set(_launcher "")
  if(CCACHE_PROGRAM)
    set(_launcher -DCMAKE_CXX_COMPILER_LAUNCHER=${CCACHE_PROGRAM})
  endif()
  # The same linker as the main build.
  set(_speed "")
  if(SORVAMET_LLD AND SORVAMET_LLD_LINK)
    list(APPEND _speed -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld)
  endif()
  ExternalProject_Add(sorvamet_fuzz_project
    SOURCE_DIR ${PROJECT_SOURCE_DIR}/cmake/fuzz
    BINARY_DIR ${CMAKE_BINARY_DIR}/fuzz
    LIST_SEPARATOR "|"
    CMAKE_ARGS
      -DCMAKE_CXX_COMPILER=${SORVAMET_CLANGXX}
      -DCMAKE_BUILD_TYPE=RelWithDebInfo
      "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG"
      -DQt6_DIR=${Qt6_DIR}
      -DSORVAMET_SOURCE_DIR=${PROJECT_SOURCE_DIR}
      -DSORVAMET_BINARY_DIR=${PROJECT_BINARY_DIR}
      -DSORVAMET_FUZZ_FRAGMENTS=${_fragments}
      -DCMAKE_RUNTIME_OUTPUT_DIRECTORY=${CMAKE_BINARY_DIR}/bin
      ${_launcher}
      ${_speed}
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    EXCLUDE_FROM_ALL ON)
  add_test(NAME fuzz.build
    COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target sorvamet_fuzz_project)
  # The longest test: started first, it builds while the others run.
  set_tests_properties(fuzz.build PROPERTIES FIXTURES_SETUP sorvamet_fuzz TIMEOUT 1800 COST 10000)
endfunction()
