# trivo_library(<target> DEPS <libs...>)
# One static library per folder: every src/*.cpp and include/*.h of the folder.
function(trivo_library target)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE _src CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/src/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/src/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/include/*.h ${CMAKE_CURRENT_SOURCE_DIR}/resources/*.qrc)
  add_library(${target} STATIC ${_src})
  target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/include
                                       PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src)
  target_link_libraries(${target} PUBLIC ${ARG_DEPS})
endfunction()

# trivo_test(<name> SOURCES <files...> LIBS <libs...> [LABELS <labels...>] [THREADS]
#            [TIMEOUT <s>] [ENV <k=v...>])
# A Qt Test executable registered with CTest. THREADS marks a test that runs more than one
# thread: it gets the label `threads`, which scripts/tsan.sh runs under ThreadSanitizer.
function(trivo_test name)
  cmake_parse_arguments(ARG "THREADS" "TIMEOUT" "SOURCES;LIBS;LABELS;ENV" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  if(TRIVO_SANITIZE STREQUAL "thread")
    target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/tsan_startup.cpp)
  endif()
  target_link_libraries(${name} PRIVATE Qt6::Test trivo_testsupport ${ARG_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TRIVO_BINARY_DIR=${CMAKE_BINARY_DIR};${ARG_ENV}")
  if(ARG_THREADS)
    list(APPEND ARG_LABELS threads)
  endif()
  if(ARG_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
endfunction()
