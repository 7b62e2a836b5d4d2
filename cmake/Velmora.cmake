# Build conventions shared by every folder: one static library per folder under src/,
# tests labelled with their folder, database tests run once per engine.

set(VELMORA_PCH ${CMAKE_SOURCE_DIR}/cmake/velmora_pch.h)

function(velmora_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter)
endfunction()

# velmora_library(<folder> [QT <Qt components>] [LINK <targets>] [SOURCES <files>])
# Collects the folder's *.cpp/*.h (unless SOURCES is given) into the static library
# velmora_<folder>, with the folder's parent on the include path so that code includes
# "<folder>/<File>.h".
function(velmora_library folder)
  cmake_parse_arguments(ARG "" "" "QT;LINK;SOURCES" ${ARGN})
  if(ARG_SOURCES)
    set(sources ${ARG_SOURCES})
  else()
    file(GLOB sources CONFIGURE_DEPENDS
         ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
         ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  endif()
  set(compiled ${sources})
  list(FILTER compiled INCLUDE REGEX "\\.(c|cpp)$")
  if(NOT compiled)
    return()  # a folder whose code is still to come
  endif()
  set(target velmora_${folder})
  add_library(${target} STATIC ${sources})
  add_library(Velmora::${folder} ALIAS ${target})
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  foreach(component IN LISTS ARG_QT)
    target_link_libraries(${target} PUBLIC Qt6::${component})
  endforeach()
  target_link_libraries(${target} PUBLIC ${ARG_LINK})
  if(ARG_QT)
    target_precompile_headers(${target} PRIVATE ${VELMORA_PCH})
  endif()
  velmora_warnings(${target})
endfunction()

set(VELMORA_TEST_ENGINES sqlite postgres)

# velmora_test(<name> SOURCES <files> [LINK <targets>] [DATABASE] [GUI] [TIMEOUT <s>])
# Registers a Qt Test executable labelled with the current folder's name. DATABASE tests
# run twice, once per engine (VELMORA_TEST_ENGINE), the PostgreSQL run against the
# throwaway cluster of the pgcluster fixture. GUI tests run on the offscreen platform.
function(velmora_test name)
  cmake_parse_arguments(ARG "DATABASE;GUI" "TIMEOUT" "SOURCES;LINK" ${ARGN})
  get_filename_component(label ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  set(target test_${label}_${name})
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE Qt6::Test velmora_testsupport ${ARG_LINK})
  velmora_warnings(${target})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set(env "VELMORA_TEST_DATA=${CMAKE_CURRENT_SOURCE_DIR}/data")
  if(ARG_GUI)
    list(APPEND env "QT_QPA_PLATFORM=offscreen")
  endif()
  if(ARG_DATABASE)
    string(REPLACE ";" "\\;" pg_connection "${VELMORA_TEST_PG}")
    foreach(engine IN LISTS VELMORA_TEST_ENGINES)
      set(test ${label}.${name}.${engine})
      add_test(NAME ${test} COMMAND ${target})
      set(test_env ${env} "VELMORA_TEST_ENGINE=${engine}" "VELMORA_TEST_PG=${pg_connection}")
      set_tests_properties(${test} PROPERTIES LABELS "${label};${engine}" TIMEOUT ${ARG_TIMEOUT}
                           ENVIRONMENT "${test_env}")
      if(engine STREQUAL "postgres")
        set_tests_properties(${test} PROPERTIES FIXTURES_REQUIRED pgcluster)
      endif()
    endforeach()
  else()
    set(test ${label}.${name})
    add_test(NAME ${test} COMMAND ${target})
    set_tests_properties(${test} PROPERTIES LABELS "${label}" TIMEOUT ${ARG_TIMEOUT}
                         ENVIRONMENT "${env}")
  endif()
endfunction()

# velmora_fuzz(<name> SOURCES <files> [LINK <targets>] [CORPUS <folder>] [SECONDS <n>])
# A libFuzzer target, built only in the clang fuzz build (VELMORA_BUILD_FUZZ) and run by
# CTest for a bounded time under the label "fuzz".
function(velmora_fuzz name)
  if(NOT VELMORA_BUILD_FUZZ)
    return()
  endif()
  cmake_parse_arguments(ARG "" "CORPUS;SECONDS" "SOURCES;LINK" ${ARGN})
  if(NOT ARG_SECONDS)
    set(ARG_SECONDS 30)
  endif()
  set(target fuzz_${name})
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LINK})
  target_link_options(${target} PRIVATE -fsanitize=fuzzer)
  add_dependencies(fuzz_all ${target})
  set(corpus_copy ${CMAKE_CURRENT_BINARY_DIR}/${target}_corpus)
  set(args -max_total_time=${ARG_SECONDS} -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 ${corpus_copy})
  if(ARG_CORPUS)
    list(APPEND args ${ARG_CORPUS})
  endif()
  add_test(NAME fuzz.${name} COMMAND ${CMAKE_COMMAND} -E make_directory ${corpus_copy})
  add_test(NAME fuzz.${name}.run COMMAND ${target} ${args})
  set_tests_properties(fuzz.${name} PROPERTIES LABELS fuzz FIXTURES_SETUP fuzz_${name}_corpus)
  math(EXPR limit "${ARG_SECONDS} + 120")
  set_tests_properties(fuzz.${name}.run PROPERTIES LABELS fuzz TIMEOUT ${limit}
                       FIXTURES_REQUIRED fuzz_${name}_corpus)
endfunction()
