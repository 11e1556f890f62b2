# Writes the menu entry nenrei_desktop_entry from nenrei_desktop_template, its Exec naming
# the program nenrei_desktop_program (nenrei unless set) in nenrei_program_folder. Part of the
# install (see CMakeLists.txt).
if(NOT nenrei_desktop_program)
    set(nenrei_desktop_program nenrei)
endif()
set(program "${nenrei_program_folder}/${nenrei_desktop_program}")
if(program MATCHES "\n")
    message(FATAL_ERROR "The program's path holds a line break: ${program}")
endif()

# The Exec value: quoted when the path holds a character the Exec syntax reserves, with
# \ " ` $ escaped inside the quotes, % doubled, and the backslashes then doubled again for
# the string-value escaping.
set(exec "${program}")
string(FIND "${exec}" "\\" backslash)
if(exec MATCHES "[ \t\"'><~|&;$*?#()`]" OR NOT backslash EQUAL -1)
    string(REPLACE "\\" "\\\\" exec "${exec}")
    string(REPLACE "\"" "\\\"" exec "${exec}")
    string(REPLACE "`" "\\`" exec "${exec}")
    string(REPLACE "$" "\\$" exec "${exec}")
    set(exec "\"${exec}\"")
endif()
string(REPLACE "%" "%%" exec "${exec}")
string(REPLACE "\\" "\\\\" EXEC "${exec}")

configure_file("${nenrei_desktop_template}" "${nenrei_desktop_entry}" @ONLY)
