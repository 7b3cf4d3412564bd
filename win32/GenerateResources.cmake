# Writes the window's resource script and images at build time:
#   cmake -DSTRING_TABLE=... -DTEMPLATE=... -DOUTPUT_DIR=... -DICON_DIR=...
#         -DWIN32_SOURCE_DIR=... -DPROJECT_VERSION=... -DCONVERT=... -DTOOLBAR=... -P GenerateResources.cmake
# Every @kStr...@ of the template becomes the text of that string-table entry
# in resource-script quoting, so no menu, prompt or dialog text is typed twice.
# The toolbar strip and the icons are made from the Qt window's icons, the
# strip in the order of TOOLBAR (frontend/ToolbarButtons.def), the one the
# command table gives the buttons.
foreach(var STRING_TABLE TEMPLATE OUTPUT_DIR ICON_DIR WIN32_SOURCE_DIR PROJECT_VERSION CONVERT TOOLBAR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "GenerateResources: ${var} is not set")
  endif()
endforeach()

file(READ "${STRING_TABLE}" table)
file(READ "${TEMPLATE}" template)
string(REGEX MATCHALL "@kStr[A-Za-z0-9]+@" wanted "${template}")
list(REMOVE_DUPLICATES wanted)
foreach(placeholder ${wanted})
  string(REPLACE "@" "" id "${placeholder}")
  # One entry per line; the text runs to the line's closing quote.
  if(NOT table MATCHES "\nSTRING\\(${id}, \"([^\n]*)\"\\)\n")
    message(FATAL_ERROR "GenerateResources: ${id} is not in ${STRING_TABLE}")
  endif()
  set(text "${CMAKE_MATCH_1}")
  # C's \" is "" in a resource script; \r, \n, \t and \\ read the same in both.
  string(REPLACE "\\\"" "\"\"" text "${text}")
  set(${id} "${text}")
endforeach()

string(REPLACE "." "," VERSION_COMMAS "${PROJECT_VERSION}")
set(RESOURCE_DIR "${OUTPUT_DIR}")
file(MAKE_DIRECTORY "${OUTPUT_DIR}")
string(CONFIGURE "${template}" script @ONLY)
file(WRITE "${OUTPUT_DIR}/Loader.rc.tmp" "${script}")
file(RENAME "${OUTPUT_DIR}/Loader.rc.tmp" "${OUTPUT_DIR}/Loader.rc")

function(run_convert)
  execute_process(COMMAND "${CONVERT}" ${ARGN} RESULT_VARIABLE result ERROR_VARIABLE error)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "GenerateResources: ${CONVERT} failed: ${error}")
  endif()
endfunction()

# The buttons' images in toolbar order, 16 x 15 each, on magenta, which the
# window masks out as transparent. A line read otherwise than the compiler
# reads it would shift every later image, so any other line stops the build.
file(STRINGS "${TOOLBAR}" toolbar_lines)
set(strip)
foreach(line ${toolbar_lines})
  if(line MATCHES "^TOOLBAR_BUTTON\\(kCmd[A-Za-z]+, ([A-Za-z0-9_-]+)\\)$")
    list(APPEND strip "${ICON_DIR}/${CMAKE_MATCH_1}.xpm")
  elseif(NOT line MATCHES "^(//.*|TOOLBAR_GAP\\(\\))$")
    message(FATAL_ERROR "GenerateResources: ${TOOLBAR}: not a toolbar line: ${line}")
  endif()
endforeach()
run_convert(${strip} -background "#FF00FF" -alpha remove +append -type TrueColor
            "BMP3:${OUTPUT_DIR}/toolbar.bmp")

# Icons at 16 and 32 pixels: the application's, the submodule dialog's and the notice's.
foreach(pair "program;app" "submodule;submodule" "connect;notice")
  list(GET pair 0 source)
  list(GET pair 1 target)
  run_convert("${ICON_DIR}/${source}.xpm" -background none -gravity center -extent 16x16
              ( +clone -scale 32x32 ) "${OUTPUT_DIR}/${target}.ico")
endforeach()
