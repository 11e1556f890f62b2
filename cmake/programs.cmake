# The product's programs, one line each. Everything that packs them reads this list: the
# Windows resources, the ZIP and the installer (their files and Start menu entries), the
# menu entries, and the launchers of the Debian package and of make install. Fields,
# separated by "|":
#   target | title in Japanese (Start menu entry, file description) | window or console |
#   icon (desktop/windows/ICON.ico)
# A program that a configuration does not build is left out of everything.
set(NENREI_PROGRAMS
    "nenrei|年齢計算|window|nenrei"
    "nenrei-csv|年齢計算 名簿と CSV|console|nenrei"
    "nenrei-meibo|名簿表|window|nenrei-meibo"
)
set(NENREI_PRODUCT_NAME "年齢計算")

option(NENREI_MANIFEST "Windows: give every executable the application manifest (DPI awareness, common controls, UTF-8 code page)" ON)

# The version as Windows writes it: four numbers.
set(nenrei_version4 ${PROJECT_VERSION_MAJOR} ${PROJECT_VERSION_MINOR} ${PROJECT_VERSION_PATCH} ${PROJECT_VERSION_TWEAK})
list(TRANSFORM nenrei_version4 REPLACE "^$" "0")
list(JOIN nenrei_version4 "," NENREI_VERSION_COMMAS)
list(JOIN nenrei_version4 "." NENREI_VERSION_DOTS)

# Every executable target defined in `dir` and the folders under it.
function(nenrei_executables dir out)
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    set(found)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        if(type STREQUAL "EXECUTABLE")
            list(APPEND found ${target})
        endif()
    endforeach()
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(subdir IN LISTS subdirs)
        nenrei_executables(${subdir} more)
        list(APPEND found ${more})
    endforeach()
    set(${out} ${found} PARENT_SCOPE)
endfunction()

# Once every target is defined: gives each listed program what it is packed with, writes the
# list of those built for the packing scripts (programs.txt: target|title|kind a line) and
# the target `programs` that builds them.
function(nenrei_pack_programs)
    set(resources ${CMAKE_BINARY_DIR}/resources)
    if(WIN32 AND NENREI_MANIFEST)
        configure_file(${PROJECT_SOURCE_DIR}/desktop/windows/nenrei.manifest.in
                       ${resources}/nenrei.manifest @ONLY)
        if(MSVC)
            # The MSVC linker merges a .manifest source into the manifest it embeds.
            set(manifest ${resources}/nenrei.manifest)
        else()
            # Resource type 24 (a manifest), number 1: the one the loader reads for a program.
            set(manifest ${resources}/manifest.rc)
            file(WRITE ${manifest} "1 24 \"${resources}/nenrei.manifest\"\n")
        endif()
    endif()
    set(built)
    set(lines)
    foreach(entry IN LISTS NENREI_PROGRAMS)
        string(REPLACE "|" ";" fields "${entry}")
        list(GET fields 0 target)
        list(GET fields 1 title)
        list(GET fields 2 kind)
        list(GET fields 3 icon)
        if(NOT TARGET ${target})
            continue()
        endif()
        list(APPEND built ${target})
        string(APPEND lines "${target}|${title}|${kind}\n")
        if(WIN32)
            set(NENREI_RC_TARGET ${target})
            set(NENREI_RC_TITLE "${title}")
            set(NENREI_RC_ICON ${PROJECT_SOURCE_DIR}/desktop/windows/${icon}.ico)
            configure_file(${PROJECT_SOURCE_DIR}/desktop/windows/program.rc.in
                           ${resources}/${target}.rc @ONLY)
            target_sources(${target} PRIVATE ${resources}/${target}.rc)
        else()
            nenrei_linux_program(${target} ${kind})
        endif()
    endforeach()
    if(WIN32 AND NENREI_MANIFEST)
        # Every executable, so that the tests run the program's code as the programs do.
        nenrei_executables(${PROJECT_SOURCE_DIR} executables)
        foreach(target IN LISTS executables)
            target_sources(${target} PRIVATE ${manifest})
        endforeach()
    endif()
    file(WRITE ${CMAKE_BINARY_DIR}/programs.txt "${lines}")
    add_custom_target(programs DEPENDS ${built})
endfunction()

# On Linux: a window program's menu entry, when desktop/TARGET.desktop.in is there; in a
# system package, the launcher in bin.
function(nenrei_linux_program target kind)
    set(template ${PROJECT_SOURCE_DIR}/desktop/${target}.desktop.in)
    if(kind STREQUAL "window" AND EXISTS ${template})
        # The entry names the installed program, whose path is known only when installing
        # (--prefix), so it is written then and installed like the other files.
        set(entry ${CMAKE_BINARY_DIR}/desktop/${target}.desktop)
        install(CODE "set(nenrei_desktop_template [==[${template}]==])
set(nenrei_desktop_entry [==[${entry}]==])
set(nenrei_desktop_program [==[${target}]==])
include([==[${PROJECT_SOURCE_DIR}/desktop/desktop_entry.cmake]==])")
        install(FILES ${entry} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    endif()
    if(NENREI_PACKAGE)
        # A relative link, so that the package's tree works wherever it is unpacked.
        file(RELATIVE_PATH to /${CMAKE_INSTALL_BINDIR} /${NENREI_INSTALL_PROGRAMDIR}/${target})
        file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/launchers)
        file(CREATE_LINK ${to} ${CMAKE_BINARY_DIR}/launchers/${target} SYMBOLIC)
        install(FILES ${CMAKE_BINARY_DIR}/launchers/${target} DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endfunction()
