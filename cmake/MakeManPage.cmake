# Writes the man page of one program from its --help and --version with help2man. For the
# command line, the help of every subcommand (found in the "Subcommands:" lists, recursively)
# becomes a section of its own, so the page says all that --help says and nothing else.
# EPOCH (seconds since 1970) dates the page instead of the day it is made.
#   cmake -DPROGRAM=path -DNAME=text -DOUT=file.1 -DHELP2MAN=path [-DSUBCOMMANDS=ON] [-DEPOCH=seconds]
#         -P MakeManPage.cmake

# roff text shown as it is: backslashes written as \e, and no line taken for a request.
function(s2t_roff_verbatim text out)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The subcommands that "PROGRAM words --help" lists, each with the words before it.
function(s2t_subcommands words out)
  execute_process(COMMAND ${PROGRAM} ${words} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} ${words} --help failed")
  endif()
  set(found "")
  if(help MATCHES "\nSubcommands:\n(.*)")
    string(REPLACE "\n" ";" lines "${CMAKE_MATCH_1}")
    foreach(line IN LISTS lines)
      if(line STREQUAL "")
        break()
      endif()
      if(line MATCHES "^  ([a-z][a-z0-9-]*)")
        list(APPEND found "${words} ${CMAKE_MATCH_1}")
      endif()
    endforeach()
  endif()
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

set(include_file "${OUT}.h2m")
set(include_option "")
if(SUBCOMMANDS)
  set(queue "")
  s2t_subcommands("" queue)
  set(sections "")
  while(queue)
    list(POP_FRONT queue command)
    string(STRIP "${command}" command)
    separate_arguments(words UNIX_COMMAND "${command}")
    execute_process(COMMAND ${PROGRAM} ${words} --help OUTPUT_VARIABLE help)
    s2t_roff_verbatim("${help}" help)
    string(APPEND sections ".SS \"${command}\"\n.nf\n${help}.fi\n")
    s2t_subcommands("${words}" more)
    list(PREPEND queue ${more})
  endwhile()
  file(WRITE "${include_file}" "[COMMANDS]\n${sections}")
  set(include_option "--include=${include_file}")
endif()

if(DEFINED EPOCH AND NOT EPOCH STREQUAL "")
  set(ENV{SOURCE_DATE_EPOCH} "${EPOCH}")
endif()
execute_process(
  COMMAND ${HELP2MAN} --no-info --no-discard-stderr --name=${NAME} --section=1
          ${include_option} --output=${OUT} ${PROGRAM}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "help2man failed for ${PROGRAM}")
endif()
file(REMOVE "${include_file}")
