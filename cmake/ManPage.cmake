# Writes the manual page of replidex-cli from its own help texts, so that the
# page always lists the commands the program has:
#   cmake -DCLI=path/to/replidex-cli -DOUT=replidex-cli.1 -DVERSION=x.y -P ManPage.cmake
# The overview (`replidex-cli --help`) names the commands, one a line under
# "commands:"; each command's `--help` becomes a section of the page, kept as
# it is laid out.
foreach(var CLI OUT VERSION)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "ManPage.cmake: -D${var}=... is missing")
    endif()
endforeach()

# Text as troff shows it literally: backslashes and minus signs escaped, and
# no line taken for a request because it starts with a dot or an apostrophe.
function(troff_text out text)
    string(REPLACE "\\" "\\e" text "${text}")
    string(REPLACE "-" "\\-" text "${text}")
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(help_text out)
    execute_process(COMMAND "${CLI}" ${ARGN} --help
                    OUTPUT_VARIABLE text RESULT_VARIABLE status ERROR_VARIABLE errors)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "ManPage.cmake: '${CLI} ${ARGN} --help' failed (${status}): ${errors}")
    endif()
    string(REGEX REPLACE "\n+$" "" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

help_text(overview)
string(FIND "${overview}" "\ncommands:\n" at)
if(at LESS 0)
    message(FATAL_ERROR "ManPage.cmake: no \"commands:\" in the overview of ${CLI}")
endif()
string(SUBSTRING "${overview}" ${at} -1 command_block)
string(REGEX MATCHALL "\n  [a-z][a-z0-9-]*[ ]+[^\n]*" command_lines "${command_block}")
if(NOT command_lines)
    message(FATAL_ERROR "ManPage.cmake: no commands listed by ${CLI} --help")
endif()

set(page ".\\\" Made from the help texts of replidex-cli by cmake/ManPage.cmake.\n")
string(APPEND page ".TH REPLIDEX\\-CLI 1 \"\" \"Replidex ${VERSION}\" \"User Commands\"\n")
string(APPEND page ".SH NAME\n")
string(APPEND page "replidex\\-cli \\- replay lists and replay files from the command line\n")
string(APPEND page ".SH SYNOPSIS\n")
string(APPEND page ".B replidex\\-cli\n.I COMMAND\n.RI [ ARGS ...]\n.br\n")
string(APPEND page ".B replidex\\-cli\n.I COMMAND\n.B \\-\\-help\n")
string(APPEND page ".SH DESCRIPTION\n")
string(APPEND page "replidex\\-cli serves scripting and batch work over the same core as the "
                   "window program\n.BR replidex :\nit reads replay files, and reads, searches and "
                   "writes replay list files\n(.rdx).\nTexts of lists (names, paths, memos) are "
                   "Shift\\-JIS bytes, written as hexadecimal in its JSON.\n")
string(APPEND page ".SH COMMANDS\n")
foreach(line IN LISTS command_lines)
    string(REGEX REPLACE "^\n  ([a-z][a-z0-9-]*)[ ]+([^\n]*)$" "\\1" name "${line}")
    string(REGEX REPLACE "^\n  ([a-z][a-z0-9-]*)[ ]+([^\n]*)$" "\\2" summary "${line}")
    help_text(help ${name})
    troff_text(name_troff "${name}")
    troff_text(summary_troff "${summary}")
    troff_text(help_troff "${help}")
    string(APPEND page ".SS ${name_troff}\n${summary_troff}.\n.PP\n.nf\n${help_troff}\n.fi\n")
endforeach()
string(APPEND page ".SH SEE ALSO\n")
string(APPEND page ".B replidex\\-cli\n.I COMMAND\n.B \\-\\-help\nfor a command's own help; ")
string(APPEND page "the help page of the window program, share/replidex/help/index.html.\n")

file(WRITE "${OUT}.new" "${page}")
file(RENAME "${OUT}.new" "${OUT}")
