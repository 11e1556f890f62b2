# The Debian package (make deb): CPack's DEB generator over the install rules of a build laid
# out as a system package (NENREI_PACKAGE), its dependencies worked out by dpkg-shlibdeps.
set(debian ${PROJECT_SOURCE_DIR}/desktop/debian)
# Debian keeps a package's changelog and manual pages compressed to the maximum, without a
# time stamp.
set(pages)
foreach(program nenrei nenrei-csv nenrei-meibo)
    if(TARGET ${program})
        list(APPEND pages ${program}.1)
    endif()
endforeach()
foreach(file changelog ${pages})
    execute_process(COMMAND gzip -9nc ${debian}/${file}
                    OUTPUT_FILE ${CMAKE_BINARY_DIR}/${file}.gz COMMAND_ERROR_IS_FATAL ANY)
endforeach()
install(FILES ${debian}/copyright ${CMAKE_BINARY_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/nenrei)
list(TRANSFORM pages PREPEND ${CMAKE_BINARY_DIR}/)
list(TRANSFORM pages APPEND .gz)
install(FILES ${pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME nenrei)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# Installed as into /usr, so that what the install rules write (the menu entries' Exec) names
# the places the package puts things in.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The screens are Japanese: without a Japanese font they show empty boxes.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic | fonts-japanese-gothic")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "nenrei developers <nenrei@example.org>")
# The synopsis, then the long description (CPack indents it and marks its empty lines).
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Japanese-era age calculator with a register of people")
file(READ ${debian}/description CPACK_DEBIAN_PACKAGE_DESCRIPTION)
include(CPack)
