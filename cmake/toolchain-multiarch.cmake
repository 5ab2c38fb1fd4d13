# Cross build against Debian's multiarch packages, included by the
# toolchain-<triplet>.cmake files after they set HMI_CROSS_TRIPLET,
# HMI_CROSS_PROCESSOR and HMI_CROSS_QEMU:
#   compiler and binutils  <triplet>-g++ ... from crossbuild-essential-<arch>
#   libraries and headers  <package>:<arch>, under /usr/lib/<triplet> and
#                          /usr/include/<triplet> (the cross compiler looks there)
#   moc, uic, rcc          the build machine's own (qtbase5-dev-tools)
#   rsvg-convert           the build machine's own (librsvg2-bin)
# Tests run under qemu-user-static, each in a PID namespace of its own
# (tools/qemu-isolated.sh says why).

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${HMI_CROSS_PROCESSOR})
set(CMAKE_C_COMPILER ${HMI_CROSS_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${HMI_CROSS_TRIPLET}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${HMI_CROSS_TRIPLET})

# pkg-config sees the target's .pc files only.
set(ENV{PKG_CONFIG_LIBDIR} "/usr/lib/${HMI_CROSS_TRIPLET}/pkgconfig:/usr/share/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

find_program(HMI_CROSS_QEMU_PROGRAM qemu-${HMI_CROSS_QEMU}-static)
if(HMI_CROSS_QEMU_PROGRAM)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/qemu-isolated.sh ${HMI_CROSS_QEMU_PROGRAM})
endif()
