# Run at install time: refreshes the freedesktop caches under the install prefix when installing
# into a live system. A cache is only refreshed where one exists already, so a fresh staging prefix
# gets none. Quiet and never fatal: a missing tool or a failure only leaves a cache stale.
if(DEFINED ENV{DESTDIR} AND NOT "$ENV{DESTDIR}" STREQUAL "")
    return()
endif()
if(IS_ABSOLUTE "${ZENTO_INSTALL_DATADIR}")
    set(data_dir "${ZENTO_INSTALL_DATADIR}")
else()
    set(data_dir "${CMAKE_INSTALL_PREFIX}/${ZENTO_INSTALL_DATADIR}")
endif()

find_program(update_mime update-mime-database)
if(update_mime AND EXISTS "${data_dir}/mime/mime.cache")
    execute_process(COMMAND ${update_mime} "${data_dir}/mime" RESULT_VARIABLE ignored
                    OUTPUT_QUIET ERROR_QUIET)
endif()
find_program(update_desktop update-desktop-database)
if(update_desktop AND EXISTS "${data_dir}/applications/mimeinfo.cache")
    execute_process(COMMAND ${update_desktop} -q "${data_dir}/applications" RESULT_VARIABLE ignored
                    OUTPUT_QUIET ERROR_QUIET)
endif()
find_program(update_icons gtk-update-icon-cache)
if(update_icons AND EXISTS "${data_dir}/icons/hicolor/icon-theme.cache")
    execute_process(COMMAND ${update_icons} -q -t -f "${data_dir}/icons/hicolor"
                    RESULT_VARIABLE ignored OUTPUT_QUIET ERROR_QUIET)
endif()
