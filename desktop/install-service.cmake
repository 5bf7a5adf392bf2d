# SPDX-License-Identifier: GPL-3.0-or-later
# Run by `cmake --install`: the session bus starts the game by its full path, and `--prefix`
# may move the install after configuring, so the service file is written with the install's own
# prefix. Set by desktop/CMakeLists.txt: VELMAR_APP_ID, VELMAR_BINDIR and VELMAR_DATADIR (as
# configured, relative or absolute), VELMAR_SERVICE_IN and VELMAR_SERVICE_OUT.
foreach(dir BINDIR DATADIR)
    if(IS_ABSOLUTE "${VELMAR_${dir}}")
        set(full_${dir} "${VELMAR_${dir}}")
    else()
        set(full_${dir} "${CMAKE_INSTALL_PREFIX}/${VELMAR_${dir}}")
    endif()
endforeach()
set(CMAKE_INSTALL_FULL_BINDIR "${full_BINDIR}")
configure_file("${VELMAR_SERVICE_IN}" "${VELMAR_SERVICE_OUT}" @ONLY)
file(INSTALL "${VELMAR_SERVICE_OUT}" DESTINATION "${full_DATADIR}/dbus-1/services")
