# Writes a gzipped man page from a program's own --help with help2man, so the page follows
# the program as options and commands are added. Run with cmake -P:
#   HELP2MAN PROGRAM NAME VERSION DESCRIPTION INCLUDE OUTPUT [COMMANDS=ON]
# With COMMANDS=ON the include file's sections get a SYNOPSIS of the program's usage lines and
# a COMMANDS section of each sub-command's --help (the commands "PROGRAM --help" lists).
cmake_minimum_required(VERSION 3.25)

# Text for roff: a backslash is its escape, a line that starts with a dot or an apostrophe
# would be a request, and one that starts with "/" or "[" help2man's own markup.
function(roff_text out text)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REGEX REPLACE "\n[ ]+" "\n" text "${text}")
  # Japanese text has no blank between words: a line break between two Japanese characters
  # (bytes outside printable ASCII) joins them without the blank roff would put there.
  string(REGEX REPLACE "([^\n -~])\n([^\n -~])" "\\1\\2" text "${text}")
  string(REGEX REPLACE "\n([.'/[])" "\n\\\\&\\1" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

set(include_file ${INCLUDE})
if(COMMANDS)
  execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help COMMAND_ERROR_IS_FATAL ANY)
  string(FIND "${help}" "\n\nコマンド:\n" split)
  # Each usage line, "使い方: " and the indent taken off, becomes a line of the synopsis.
  string(SUBSTRING "${help}" 0 ${split} usage)
  string(REGEX REPLACE "^使い方: *" "" usage "${usage}")
  roff_text(usage "\n${usage}")
  roff_text(name "${NAME}")
  string(REPLACE "\n${name} " "\n.br\n.B ${name}\n" usage "${usage}")
  string(SUBSTRING "${usage}" 4 -1 usage)  # no break before the first line
  set(text "[SYNOPSIS]${usage}\n\n[COMMANDS]\n")

  string(SUBSTRING "${help}" ${split} -1 listing)
  string(REGEX MATCHALL "\n  [a-z][a-z-]*" commands "${listing}")
  foreach(command IN LISTS commands)
    string(STRIP "${command}" command)
    execute_process(COMMAND ${PROGRAM} ${command} --help OUTPUT_VARIABLE usage COMMAND_ERROR_IS_FATAL ANY)
    # The synopsis (the first line) tags the item; the rest describes it.
    string(STRIP "${usage}" usage)
    roff_text(usage "${usage}\n")
    string(FIND "${usage}" "\n" end)
    string(SUBSTRING "${usage}" 0 ${end} synopsis)
    string(SUBSTRING "${usage}" ${end} -1 description)
    string(APPEND text ".TP\n.B ${synopsis}${description}")
  endforeach()
  file(READ ${INCLUDE} included)
  set(include_file ${OUTPUT}.h2m)
  file(WRITE ${include_file} "${text}\n${included}")
endif()

string(REGEX REPLACE "\\.gz$" "" page "${OUTPUT}")
# The program's own name and the project's version head the page; UTF-8 keeps the Japanese
# texts of the help whatever the build's locale.
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
          ${HELP2MAN} --no-info --locale=C.UTF-8 --section=1 --name=${DESCRIPTION}
          "--version-string=${NAME} ${VERSION}" --include=${include_file} --output=${page} ${PROGRAM}
  COMMAND_ERROR_IS_FATAL ANY)
# The page is UTF-8: a coding tag on its first line lets man's preconv convert it for any
# locale's formatter. Japanese lines break between characters (groff's ja.tmac) and are not
# stretched to the right margin, which their few blanks cannot fill; a device
# without Japanese glyphs (the C locale's ascii) shows "…" as "..." and drops the Japanese
# without a warning for each character; the page says there how to read it.
file(READ ${page} text)
file(WRITE ${page} [=[.\" -*- coding: UTF-8 -*-
.do mso ja.tmac
.ad l
.do fchar \[u2026] ...
.if !'\*[.T]'utf8' .if \n[.warn]%2 .warn \n[.warn]-1
]=] "${text}")
# -n: no name or time stamp in the archive, so the same page gives the same bytes.
execute_process(COMMAND gzip -9nf ${page} COMMAND_ERROR_IS_FATAL ANY)
