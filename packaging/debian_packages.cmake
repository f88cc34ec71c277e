# cpack -G DEB: one package per install component, dependencies of the
# binaries found by dpkg-shlibdeps, the documents Debian asks of every
# package (copyright, changelog) generated here.
set(VELIX_PACKAGE_MAINTAINER "VELIX developers <velix@example.org>"
    CACHE STRING "Maintainer field of the Debian packages")

set(velix_packages velix-daemon velix-tools libvelixfw libvelixfw-dev orvane)

string(TIMESTAMP VELIX_COPYRIGHT_YEAR "%Y" UTC)
# RFC 2822 date; SOURCE_DATE_EPOCH, when set, makes it reproducible.
string(TIMESTAMP VELIX_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
find_program(GZIP_PROGRAM gzip)
foreach(package IN LISTS velix_packages)
  set(VELIX_PACKAGE_NAME ${package})
  set(doc_dir ${CMAKE_CURRENT_BINARY_DIR}/doc/${package})
  configure_file(debian/copyright ${doc_dir}/copyright @ONLY)
  configure_file(debian/changelog.in ${doc_dir}/changelog @ONLY)
  if(GZIP_PROGRAM)
    # -n leaves name and time out, so the same changelog packs the same bytes.
    execute_process(COMMAND ${GZIP_PROGRAM} -9nf ${doc_dir}/changelog)
    install(FILES ${doc_dir}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${package})
  endif()
  install(FILES ${doc_dir}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${package})
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velix)
set(CPACK_PACKAGE_VENDOR "VELIX developers")
set(CPACK_PACKAGE_CONTACT "${VELIX_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
# The package lays the files out where the build put them: a tree configured
# for /usr/local packs /usr/local, so the unit's ExecStart and the files agree.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${velix_packages})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# VELIXModeChange links libVELIXFw, which is ours and not installed yet while
# the packages are made.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/Firmup)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.org/velix")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

set(same_version "(= ${PROJECT_VERSION})")

set(CPACK_DEBIAN_VELIX-DAEMON_PACKAGE_NAME velix-daemon)
set(CPACK_DEBIAN_VELIX-DAEMON_DESCRIPTION "VELIX analyzer driver daemon
velixd drives the VELIX USB SPI/I2C bus analyzer from user space and serves
the capture and firmware tools over Unix sockets in /run/velix. A udev rule
gives the velix group and the user at the local seat the analyzer and starts
the daemon when it is plugged in; the daemon stops by itself once the
analyzer has gone. A built-in simulator stands in for the analyzer.")
set(CPACK_DEBIAN_VELIX-DAEMON_PACKAGE_DEPENDS "systemd | systemd-standalone-sysusers")
set(CPACK_DEBIAN_VELIX-DAEMON_PACKAGE_CONTROL_EXTRA
    ${CMAKE_CURRENT_SOURCE_DIR}/debian/velix-daemon/postinst
    ${CMAKE_CURRENT_SOURCE_DIR}/debian/velix-daemon/prerm
    ${CMAKE_CURRENT_SOURCE_DIR}/debian/velix-daemon/postrm)

# The clients read and decode capture files without a daemon; only a live
# capture or a firmware operation needs one.
set(CPACK_DEBIAN_VELIX-TOOLS_PACKAGE_NAME velix-tools)
set(CPACK_DEBIAN_VELIX-TOOLS_DESCRIPTION "VELIX analyzer command-line tools
orvane-cli captures from the VELIX SPI/I2C bus analyzer, decodes, searches
and exports captures (.SIC files) and synthesizes test captures; velixctl
lists the analyzer and runs the driver's diagnostics.")
set(CPACK_DEBIAN_VELIX-TOOLS_PACKAGE_RECOMMENDS "velix-daemon ${same_version}")

set(CPACK_DEBIAN_LIBVELIXFW_PACKAGE_NAME libvelixfw)
set(CPACK_DEBIAN_LIBVELIXFW_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_LIBVELIXFW_DESCRIPTION "VELIX analyzer firmware library
libVELIXFw reads the VELIX analyzer's mode, status and versions and writes
its flash ROM, CPLD and serial EEPROM, through the velixd daemon.")
set(CPACK_DEBIAN_LIBVELIXFW_PACKAGE_RECOMMENDS "velix-daemon ${same_version}")
# A shlibs file for the library package (the only one with a shared
# library), and ldconfig run through dpkg's trigger.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_LIBVELIXFW_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_SOURCE_DIR}/debian/libvelixfw/triggers)

set(CPACK_DEBIAN_LIBVELIXFW-DEV_PACKAGE_NAME libvelixfw-dev)
set(CPACK_DEBIAN_LIBVELIXFW-DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_LIBVELIXFW-DEV_DESCRIPTION "VELIX analyzer firmware library (development files)
The header VELIXFw.h and the link to libVELIXFw for programs that use the
firmware library of the VELIX SPI/I2C bus analyzer.")
set(CPACK_DEBIAN_LIBVELIXFW-DEV_PACKAGE_DEPENDS "libvelixfw ${same_version}")

set(CPACK_DEBIAN_ORVANE_PACKAGE_NAME orvane)
set(CPACK_DEBIAN_ORVANE_DESCRIPTION "VELIX analyzer monitor application
Orvane captures SPI and I2C traffic with the VELIX bus analyzer, decodes it
into transactions, checks I2C timing, shows waveforms and dumps, and saves,
filters, searches and exports captures. VELIXModeChange switches the
analyzer between its bus analyzer and monitor firmware. Capture files open
with Orvane from the file manager.")
set(CPACK_DEBIAN_ORVANE_PACKAGE_DEPENDS "libvelixfw ${same_version}")
set(CPACK_DEBIAN_ORVANE_PACKAGE_RECOMMENDS "velix-daemon ${same_version}")

include(CPack)
