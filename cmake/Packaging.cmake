# Debian packages of this build tree (`cpack` in the build directory, or
# `cmake --build DIR --target package`; ./package.sh and ./cross.sh do it with
# Debian's hardening flags and check the result with lintian):
#
#   charger-hmi_<version>_<arch>.deb             component hmi: charger-hmi,
#       ocpp-bridge, both service units, the reset scripts and the default data
#       files (copied into the data directory by postinst when missing there)
#   charger-hmi-simulators_<version>_<arch>.deb  component simulators: ccu-sim,
#       meter-sim, ocpp-client-sim, hmi-demo for bench work on a panel
#
# The programs name their component in an install() next to their target;
# what is no target is installed here.

set(HMI_DEB_SRC ${CMAKE_SOURCE_DIR}/deploy/debian)
set(HMI_DEB_OUT ${CMAKE_BINARY_DIR}/debian)
set(HMI_PACKAGE_MAINTAINER "Charger HMI maintainers <charger-hmi@example.com>"
  CACHE STRING "Maintainer field of the Debian packages")

# Where Debian 11 and 12 keep the units that packages bring.
install(FILES ${CMAKE_SOURCE_DIR}/deploy/charger-hmi.service ${CMAKE_SOURCE_DIR}/deploy/charger-ocpp-bridge.service
  DESTINATION /lib/systemd/system COMPONENT hmi)
# Everything in share/charger-hmi/ is a default of the data directory.
install(FILES ${CMAKE_SOURCE_DIR}/deploy/configuration.json ${CMAKE_SOURCE_DIR}/deploy/IDtag.json
  ${CMAKE_SOURCE_DIR}/deploy/DynamicStatus.json ${CMAKE_SOURCE_DIR}/deploy/bridge.json
  DESTINATION share/charger-hmi COMPONENT hmi)
install(PROGRAMS ${CMAKE_SOURCE_DIR}/deploy/softwarereset.sh ${CMAKE_SOURCE_DIR}/deploy/hardwarereset.sh
  DESTINATION share/charger-hmi COMPONENT hmi)

# copyright and changelog.gz in each package's doc folder (gzip -n: the same
# bytes on every build). configure_file makes a changed changelog re-run this.
configure_file(${HMI_DEB_SRC}/changelog ${HMI_DEB_OUT}/changelog COPYONLY)
execute_process(COMMAND gzip -9nc ${HMI_DEB_OUT}/changelog OUTPUT_FILE ${HMI_DEB_OUT}/changelog.gz
  RESULT_VARIABLE gzip_rc)
if(NOT gzip_rc EQUAL 0)
  message(FATAL_ERROR "gzip of the Debian changelog failed")
endif()
foreach(entry charger-hmi:hmi charger-hmi-simulators:simulators)
  string(REPLACE ":" ";" entry ${entry})
  list(GET entry 0 pkg_name)
  list(GET entry 1 pkg_component)
  install(FILES ${HMI_DEB_SRC}/copyright ${HMI_DEB_OUT}/changelog.gz
    DESTINATION share/doc/${pkg_name} COMPONENT ${pkg_component})
endforeach()

# Every program a package takes: `cmake --build DIR --target hmi_packaged`
# builds just these (cross.sh, tst_packaging).
add_custom_target(hmi_packaged)
add_dependencies(hmi_packaged charger-hmi ocpp-bridge ccu-sim meter-sim ocpp-client-sim hmi-demo)

# Architecture of the programs: the host's, or the target's in a cross build
# (from the toolchain's multiarch triplet, e.g. aarch64-linux-gnu -> arm64).
set(HMI_DEB_ARCH "")
if(CMAKE_CROSSCOMPILING AND CMAKE_LIBRARY_ARCHITECTURE)
  execute_process(COMMAND dpkg-architecture -t${CMAKE_LIBRARY_ARCHITECTURE} -qDEB_HOST_ARCH
    OUTPUT_VARIABLE HMI_DEB_ARCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
else()
  execute_process(COMMAND dpkg --print-architecture
    OUTPUT_VARIABLE HMI_DEB_ARCH OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME charger-hmi)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${HMI_PACKAGE_MAINTAINER}")
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL hmi simulators)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${HMI_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(HMI_DEB_ARCH)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${HMI_DEB_ARCH})
endif()

# Descriptions: summary line, then the text (cpack indents it for the control file).
set(CPACK_DEBIAN_HMI_PACKAGE_NAME charger-hmi)
# The screens are set in Roboto.
set(CPACK_DEBIAN_HMI_PACKAGE_DEPENDS "fonts-roboto-unhinted")
set(CPACK_DEBIAN_HMI_DESCRIPTION "touchscreen operator program of a DC fast charger
charger-hmi is the full-screen program on the charger's 1280x800 panel
between the driver, the charging control unit (RS232), the DC energy meter
(Modbus RTU over RS485) and the local OCPP 1.6 client. The package also
brings ocpp-bridge, an OCPP 1.6J client to a central system over WebSocket,
with its service installed but not enabled.

The data directory /home/root/Tarnel-LCD/ is laid out on installation from
the defaults in /usr/share/charger-hmi/; files already there are kept.")
set(CPACK_DEBIAN_HMI_PACKAGE_CONTROL_EXTRA ${HMI_DEB_SRC}/postinst ${HMI_DEB_SRC}/prerm ${HMI_DEB_SRC}/postrm)
set(CPACK_DEBIAN_HMI_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_SIMULATORS_PACKAGE_NAME charger-hmi-simulators)
set(CPACK_DEBIAN_SIMULATORS_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_SIMULATORS_DESCRIPTION "stand-ins for the peers of the charger HMI, for bench work
ccu-sim (a charging control unit on a pseudo-terminal), meter-sim (a Modbus
RTU DC meter on a pseudo-terminal), ocpp-client-sim (the local OCPP client on
the HMI's two FIFOs) and hmi-demo (a whole charging session without a
person, with a picture of every page).")

# Read by cpack itself: the changelog must name the version being packaged,
# and dpkg-shlibdeps must look up the target's libraries in a cross build.
configure_file(${CMAKE_SOURCE_DIR}/cmake/CPackProjectConfig.cmake.in ${CMAKE_BINARY_DIR}/CPackProjectConfig.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackProjectConfig.cmake)

include(CPack)

# The packages built and installed into throw-away roots, on this machine's
# own architecture (a sanitizer build adds nothing to it).
if(HMI_BUILD_TESTS AND HMI_SANITIZE STREQUAL "" AND NOT CMAKE_CROSSCOMPILING)
  add_subdirectory(tests/packaging)
endif()
