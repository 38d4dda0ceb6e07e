# Fails, listing each one, when TS (refreshed from the sources) holds a text whose German
# translation is missing or unfinished; touches STAMP otherwise.
file(READ ${TS} _ts)
# Semicolons would split the match list: carried through as a marker.
string(REPLACE ";" "@SEMI@" _ts "${_ts}")
string(REGEX MATCHALL
  "<source>[^<]*</source>[ \t\r\n]*(<comment>[^<]*</comment>[ \t\r\n]*)?<translation type=\"unfinished\""
  _open "${_ts}")
string(REGEX MATCHALL "<translation>[ \t\r\n]*</translation>" _empty "${_ts}")
list(LENGTH _open _count)
list(LENGTH _empty _empty_count)
math(EXPR _all "${_count} + ${_empty_count}")
if(_all GREATER 0)
  set(_list "")
  foreach(_entry ${_open})
    string(REGEX REPLACE "^<source>([^<]*)</source>.*" "\\1" _source "${_entry}")
    # One line per text: line ends shown as \n, XML entities as their characters.
    string(REPLACE "\n" "\\n" _source "${_source}")
    string(REPLACE "@SEMI@" ";" _source "${_source}")
    string(REPLACE "&apos;" "'" _source "${_source}")
    string(REPLACE "&quot;" "\"" _source "${_source}")
    string(REPLACE "&lt;" "<" _source "${_source}")
    string(REPLACE "&gt;" ">" _source "${_source}")
    string(REPLACE "&amp;" "&" _source "${_source}")
    string(APPEND _list "  ${_source}\n")
  endforeach()
  message(NOTICE "Texts without a finished German translation:\n${_list}")
  message(FATAL_ERROR "${_all} text(s) without a finished German translation. Run `cmake "
    "--build <build> --target update_translations`, translate the unfinished entries in "
    "translations/trivo_de.ts and mark them finished.")
endif()
file(TOUCH ${STAMP})
