# The Debian package (`make package`): what `cmake --install` installs, under /usr, plus what
# Debian asks of a package besides: the license and a changelog in its doc folder, and a manual
# page for each program. The Qt libraries it needs are found by dpkg-shlibdeps from the programs
# themselves; JAGS, which fits the models, and Qt's Spanish words for its standard dialogs are
# only recommended.
include(GNUInstallDirs)

set(ZENTO_PACKAGE_MAINTAINER "Los autores de ZENTO <zento@example.org>"
    CACHE STRING "The package's Maintainer field: a name and an e-mail address")

# Debian wants the license as /usr/share/doc/<package>/copyright, in its machine-readable form,
# where every line of the text is indented and a blank line is " .".
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license_text)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" copyright_line "${license_text}")
set(copyright_holders "${CMAKE_MATCH_1}")
string(REGEX REPLACE "^MIT License\n\nCopyright[^\n]*\n\n" "" license_text "${license_text}")
string(REGEX REPLACE "\n+$" "" license_text "${license_text}")
string(REGEX REPLACE "\n\n" "\n.\n" license_text "${license_text}")
string(REGEX REPLACE "\n" "\n " license_text "${license_text}")
set(package_doc_dir ${CMAKE_CURRENT_BINARY_DIR}/package-doc)
file(WRITE ${package_doc_dir}/copyright
     "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
     "Upstream-Name: ZENTO\n\n"
     "Files: *\n"
     "Copyright: ${copyright_holders}\n"
     "License: Expat\n"
     " ${license_text}\n")

# A package made here has no history of its own: one changelog entry for its version, dated
# SOURCE_DATE_EPOCH when that is set, so that two builds of one tree give the same file.
string(TIMESTAMP changelog_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
file(WRITE ${package_doc_dir}/changelog
     "zento (${PROJECT_VERSION}) unstable; urgency=medium\n\n"
     "  * ZENTO ${PROJECT_VERSION}.\n\n"
     " -- ${ZENTO_PACKAGE_MAINTAINER}  ${changelog_date}\n")
foreach(page zento.1 zento-cli.1)
    configure_file(${PROJECT_SOURCE_DIR}/docs/man/${page} ${package_doc_dir}/${page} COPYONLY)
endforeach()
# Compressed as Debian asks: the most, and no name or time stamp in the header (-n).
find_program(ZENTO_GZIP gzip REQUIRED)
execute_process(COMMAND ${ZENTO_GZIP} -9nf ${package_doc_dir}/changelog ${package_doc_dir}/zento.1
                        ${package_doc_dir}/zento-cli.1)
install(FILES ${package_doc_dir}/copyright ${package_doc_dir}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zento)
install(FILES ${package_doc_dir}/zento.1.gz ${package_doc_dir}/zento-cli.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zento)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Proyecto ZENTO")
set(CPACK_PACKAGE_CONTACT "${ZENTO_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Bayesian binary regression models for WinBUGS and JAGS")
set(CPACK_PACKAGE_DESCRIPTION "\
ZENTO writes the input of WinBUGS (and JAGS) for Bayesian binary regression\n\
with nine links (logit, probit, cloglog, power logit, scobit, skew logit and\n\
three skew probit links) from a tab-separated table: the data in rectangular\n\
format and the whole model with its initial values. It has a desktop editor,\n\
zento, and a command-line tool, zento-cli, for scripts. Its texts and manual\n\
are in Spanish.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "jags, qt6-translations-l10n")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
