# CMake toolchain file: cross-compile for 64-bit Windows with Debian's
# mingw-w64 (posix thread model, so std::thread and std::mutex work).
#
# Used both to build the static Qt (scripts/build-qt-for-windows) and to
# build Glyphora against it:
#   cmake -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DCMAKE_PREFIX_PATH=<static Qt prefix> ...
# Executables are linked with -static, so they need no libgcc_s_seh-1.dll,
# libstdc++-6.dll or libwinpthread-1.dll beside them.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)
set(CMAKE_AR ${MINGW_TRIPLET}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${MINGW_TRIPLET}-ranlib CACHE FILEPATH "")

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# GCC for Windows lets a caller keep a value in a register across a call when
# the callee it compiled leaves that register alone (-fipa-ra, on from -O2),
# even when the callee is an inline or template function of which the linker
# keeps another file's copy, compiled otherwise. So the static Qt (-O3), when
# it drew random numbers for a temporary file's name, kept its pointer across
# the refill of std::mt19937 and wrote through garbage, because the program's
# own copy of the refill (-O2), the one linked, did use that register. GCC
# for Linux assumes nothing of such functions. Qt and Glyphora are built
# without it, every file.
set(CMAKE_C_FLAGS_INIT "-fno-ipa-ra")
set(CMAKE_CXX_FLAGS_INIT "-fno-ipa-ra")

# Libraries, headers and CMake packages come only from the mingw sysroot,
# never from the Linux host. Prefixes handed in with CMAKE_PREFIX_PATH
# (the static Qt) are added as roots too, so they are searched as given
# instead of being re-rooted under the sysroot. Programs (moc, rcc, ...)
# are host programs.
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
if(CMAKE_PREFIX_PATH)
    list(APPEND CMAKE_FIND_ROOT_PATH ${CMAKE_PREFIX_PATH})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
