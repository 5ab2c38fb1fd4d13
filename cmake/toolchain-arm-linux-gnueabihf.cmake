# armhf panels (32-bit ARMv7, hard float): cmake -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-arm-linux-gnueabihf.cmake
# (./cross.sh armhf)
set(HMI_CROSS_TRIPLET arm-linux-gnueabihf)
set(HMI_CROSS_PROCESSOR armv7l)
set(HMI_CROSS_QEMU arm)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-multiarch.cmake)
