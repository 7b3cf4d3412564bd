# Writes the installer's texts from the string table as NSIS defines, so that
# no text of the installer is typed twice:
#   cmake -DSTRING_TABLE=... -DOUTPUT=Texts.nsh -P InstallerTexts.cmake
# Each kStrInstaller... entry becomes !define TEXT_... (kStrInstallerRomType
# becomes TEXT_ROM_TYPE); its %s becomes the NSIS variable that holds the path.
file(STRINGS "${STRING_TABLE}" entries REGEX "^STRING\\(kStrInstaller")
set(defines "; Generated from the string table by InstallerTexts.cmake.\n")
foreach(entry ${entries})
  if(NOT entry MATCHES "^STRING\\(kStrInstaller([A-Za-z]+), \"(.*)\"\\)$")
    message(FATAL_ERROR "InstallerTexts: cannot read ${entry}")
  endif()
  set(name "${CMAKE_MATCH_1}")
  set(text "${CMAKE_MATCH_2}")
  string(REGEX REPLACE "([a-z])([A-Z])" "\\1_\\2" name "${name}")
  string(TOUPPER "${name}" name)
  # NSIS quoting: $ is $$, a quote is $\"; C's \\ is one backslash.
  string(REPLACE "$" "$$" text "${text}")
  string(REPLACE "\\\"" "$\\\"" text "${text}")
  string(REPLACE "\\\\" "\\" text "${text}")
  # The path in the kept-table message is the table ($0); in the PATH messages the install folder.
  if(name STREQUAL "KEPT_TABLE")
    string(REPLACE "%s" "$0" text "${text}")
  else()
    string(REPLACE "%s" "$INSTDIR" text "${text}")
  endif()
  string(APPEND defines "!define TEXT_${name} \"${text}\"\n")
endforeach()
file(WRITE "${OUTPUT}" "${defines}")
