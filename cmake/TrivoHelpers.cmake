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
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TRIVO_BINARY_DIR=${CMAKE_BINARY_DIR};HOME=${CMAKE_BINARY_DIR}/test-home/${name};${ARG_ENV}")
  if(ARG_THREADS)
    list(APPEND ARG_LABELS threads)
  endif()
  if(ARG_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
endfunction()

# trivo_font_set_tests(<test> <function> [LABELS <labels...>] [TIMEOUT <s>])
# Runs one function of a Qt Test executable once per font set, each in its own process with
# a private fontconfig file: only that set's font directories, plus the system's conf.d rules,
# so that "Arial" maps as it does for users with those fonts. The sets: DejaVu only, DejaVu
# with Liberation, DejaVu with URW base35 (scripts/install-deps.sh installs them). The test
# gets TRIVO_EXPECT_FONT, the family "Arial" has to map to, and TRIVO_FONTS_FIT where the
# window's form keeps its own size.
set(TRIVO_FONT_SETS dejavu liberation urw)
set(_fonts_dejavu /usr/share/fonts/truetype/dejavu)
set(_fonts_liberation ${_fonts_dejavu} /usr/share/fonts/truetype/liberation2)
set(_fonts_urw ${_fonts_dejavu} /usr/share/fonts/opentype/urw-base35)
set(_family_dejavu "DejaVu Sans")
set(_family_liberation "Liberation Sans")
set(_family_urw "Nimbus Sans")
set(_fit_dejavu 1)
set(_fit_liberation 1)
set(_fit_urw 0)

function(trivo_font_set_tests test function)
  cmake_parse_arguments(ARG "" "TIMEOUT" "LABELS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  foreach(set ${TRIVO_FONT_SETS})
    set(dir ${CMAKE_BINARY_DIR}/fontsets/${set})
    set(dirs "")
    foreach(fontDir ${_fonts_${set}})
      string(APPEND dirs "  <dir>${fontDir}</dir>\n")
    endforeach()
    # A home of its own: the user's font directories and settings stay out.
    file(MAKE_DIRECTORY ${dir}/home)
    file(CONFIGURE OUTPUT ${dir}/fonts.conf CONTENT [=[<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
@dirs@  <cachedir>@dir@/cache</cachedir>
  <include ignore_missing="yes">/etc/fonts/conf.d</include>
</fontconfig>
]=] @ONLY)
    set(name ${test}_${function}_${set})
    add_test(NAME ${name} COMMAND ${test} ${function})
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS "${ARG_LABELS}"
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TRIVO_BINARY_DIR=${CMAKE_BINARY_DIR};FONTCONFIG_FILE=${dir}/fonts.conf;HOME=${dir}/home;XDG_CONFIG_HOME=${dir}/home/.config;XDG_DATA_HOME=${dir}/home/.local/share;TRIVO_EXPECT_FONT=${_family_${set}};TRIVO_FONTS_FIT=${_fit_${set}}")
  endforeach()
endfunction()
