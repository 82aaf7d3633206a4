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

# Libraries whose tests spend their time elsewhere compile at -O0 under the
# sanitizers as well, which takes well under half the compile time of -O1:
# those of windows and dialogs (the editor control, the designer, the
# program's forms), whose tests run mostly in Qt, which is not instrumented;
# and the report object model, the engine, the export and the small layers
# below them (objects, datasets, printing), whose tests are many but short.
# The libraries where the tests spend their CPU keep -O1: the script engine
# (its fuzz run is bounded by count and would take three times as long), the
# drawing layer (metafiles, pictures, fonts), the run-time layer (streams,
# files, key store) and the barcode encoders.
set(SORVAMET_SANITIZE_O0_LIBRARIES plat_ui plain_editor zd_designer sorvamet_app
    zd_core zd_engine zd_export plat_objects plat_db plat_print)

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
set(SORVAMET_UNITY_TEST_BATCH 12 CACHE STRING "Source files per unity unit of a test program")
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
    set_target_properties(${name} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE ${SORVAMET_UNITY_TEST_BATCH})
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

# sorvamet_fuzzer(NAME ENTRY file LIBS ... [COVER unit ...] OPTIONS ... SEEDS ...)
# The libFuzzer program NAME from the fuzz entry ENTRY of the calling folder,
# linked against the build's own LIBS. libFuzzer comes with clang and wants
# the libraries under the sanitizers, so the program is made only in the
# sanitizer build with clang (the one CI makes); elsewhere its test is left
# out. The units in COVER (paths from the source root, each a source of one
# of LIBS) are the code under test: they get libFuzzer's coverage
# instrumentation, which guides it to new inputs. In the other programs that
# link them the instrumentation only calls the sanitizer runtime's empty
# hooks. The coverage options, unlike -fsanitize=fuzzer-no-link, leave the
# units able to use the precompiled headers of their library; with options of
# their own, they also stay out of its unity batches.
# NAME.run runs the program with the libFuzzer OPTIONS on a scratch corpus for
# new inputs and the read-only SEEDS folders; OPTIONS bound the run by a
# number of inputs (-runs=N), so that a slow machine does the same work as a
# fast one.
set(SORVAMET_FUZZ_COVERAGE
  -fsanitize-coverage=inline-8bit-counters,indirect-calls,trace-cmp,pc-table,stack-depth)
function(sorvamet_fuzzer name)
  cmake_parse_arguments(ARG "" "ENTRY" "LIBS;COVER;OPTIONS;SEEDS" ${ARGN})
  if(ARG_UNPARSED_ARGUMENTS OR NOT ARG_ENTRY OR NOT ARG_LIBS)
    message(FATAL_ERROR "sorvamet_fuzzer(${name}): takes ENTRY, LIBS, COVER, OPTIONS and SEEDS")
  endif()
  if(NOT SORVAMET_SANITIZE OR NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(STATUS "The ${name} fuzz test needs the sanitizer build with clang "
      "(SORVAMET_SANITIZE=ON): left out")
    return()
  endif()
  foreach(_unit ${ARG_COVER})
    get_filename_component(_unit ${_unit} ABSOLUTE BASE_DIR ${PROJECT_SOURCE_DIR})
    set(_owner "")
    foreach(_lib ${ARG_LIBS})
      get_target_property(_sources ${_lib} SOURCES)
      if(_unit IN_LIST _sources)
        set(_owner ${_lib})
        break()
      endif()
    endforeach()
    if(NOT _owner)
      message(FATAL_ERROR "sorvamet_fuzzer(${name}): ${_unit} is not a source of ${ARG_LIBS}")
    endif()
    set_property(SOURCE ${_unit} TARGET_DIRECTORY ${_owner}
      APPEND PROPERTY COMPILE_OPTIONS ${SORVAMET_FUZZ_COVERAGE})
  endforeach()
  add_executable(${name} ${ARG_ENTRY})
  # The entry is optimised like the libraries even where its folder makes
  # test code at -O0 (a source's options come after its target's): at -O0
  # the sanitizer's allocation stacks through it take a new record nearly
  # every time, which made the fuzz run half again as slow.
  set_property(SOURCE ${ARG_ENTRY} APPEND PROPERTY COMPILE_OPTIONS -O1)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_compile_options(${name} PRIVATE ${SORVAMET_WARNINGS} -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)

  set(_corpus ${CMAKE_CURRENT_BINARY_DIR}/corpus)
  set(_dirs "'${_corpus}'")
  foreach(_seed ${ARG_SEEDS})
    string(APPEND _dirs " '${_seed}'")
  endforeach()
  list(JOIN ARG_OPTIONS " " _options)
  add_test(NAME ${name}.run
    COMMAND /bin/sh -c "mkdir -p '${_corpus}' && exec '$<TARGET_FILE:${name}>' ${_options} ${_dirs}")
  set_tests_properties(${name}.run PROPERTIES TIMEOUT 600)
endfunction()
