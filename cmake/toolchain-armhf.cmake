# Cross build for the board's 32-bit ARM (armhf: ARMv7, hard float, little-endian) with Debian's
# cross compiler, running the built programs under qemu-user.
#
#   cmake -S . -B BUILD-armhf -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-armhf.cmake
#
# Debian packages (scripts/deps): g++-arm-linux-gnueabihf, qemu-user, and through multiarch
# (dpkg --add-architecture armhf) libgtest-dev:armhf, libgmock-dev:armhf, liblog4cpp5v5:armhf,
# which also bring the armhf C and C++ runtimes that qemu-arm loads from /.

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(CMAKE_C_COMPILER arm-linux-gnueabihf-gcc)
set(CMAKE_CXX_COMPILER arm-linux-gnueabihf-g++)
# Multiarch: headers in /usr/include, armhf libraries and their CMake packages in
# /usr/lib/arm-linux-gnueabihf.
set(CMAKE_LIBRARY_ARCHITECTURE arm-linux-gnueabihf)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
# -Wno-psabi: GCC notes every std::vector iterator whose argument passing changed in GCC 7.1;
# everything here is built by one compiler, so the notes say nothing.
# -D_FILE_OFFSET_BITS=64: under qemu-user the directory offsets come from the 64-bit host kernel,
# and the 32-bit readdir fails on them with EOVERFLOW (a 32-bit kernel hands out 32-bit ones).
set(CMAKE_C_FLAGS_INIT "-Wno-psabi -D_FILE_OFFSET_BITS=64")
set(CMAKE_CXX_FLAGS_INIT "-Wno-psabi -D_FILE_OFFSET_BITS=64")

# ctest and gtest_discover_tests run the test programs through this.
find_program(KESTREL_QEMU_ARM qemu-arm)
if(KESTREL_QEMU_ARM)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KESTREL_QEMU_ARM})
endif()

# log4cpp: Debian's liblog4cpp5-dev cannot be installed for armhf beside the host's (it is not
# multiarch), so pkg-config is pointed at a description of the armhf runtime library; the
# headers are the host's (/usr/include, which the cross compiler searches), the same for every
# architecture. Kept in the build tree.
# (Not inside try_compile, whose scratch tree goes away while the environment stays.)
get_property(_kestrel_in_try_compile GLOBAL PROPERTY IN_TRY_COMPILE)
if(NOT _kestrel_in_try_compile AND EXISTS /usr/lib/arm-linux-gnueabihf/liblog4cpp.so.5)
  set(_kestrel_armhf_dir ${CMAKE_BINARY_DIR}/armhf-log4cpp)
  file(MAKE_DIRECTORY ${_kestrel_armhf_dir}/lib ${_kestrel_armhf_dir}/pkgconfig)
  file(CREATE_LINK /usr/lib/arm-linux-gnueabihf/liblog4cpp.so.5
       ${_kestrel_armhf_dir}/lib/liblog4cpp.so SYMBOLIC)
  file(WRITE ${_kestrel_armhf_dir}/pkgconfig/log4cpp.pc
       "Name: log4cpp\n"
       "Description: log4cpp for armhf (runtime from multiarch, headers from the host)\n"
       "Version: 1.1\n"
       "Libs: -L${_kestrel_armhf_dir}/lib -llog4cpp -lpthread\n"
       "Cflags:\n")
  set(ENV{PKG_CONFIG_LIBDIR} ${_kestrel_armhf_dir}/pkgconfig)
  unset(_kestrel_armhf_dir)
endif()
unset(_kestrel_in_try_compile)
