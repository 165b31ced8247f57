# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (package
# gcc-mingw-w64-x86-64). Used by tools/build-windows-lib.sh for libPellaxCan,
# which needs only a C compiler.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TOVRIN_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TOVRIN_MINGW_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${TOVRIN_MINGW_TRIPLET}-g++)
set(CMAKE_RC_COMPILER ${TOVRIN_MINGW_TRIPLET}-windres)

# Headers and libraries come from the mingw sysroot only; build tools from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${TOVRIN_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
