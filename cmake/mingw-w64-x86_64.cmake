# Cross-build for 64-bit Windows with Debian's mingw-w64 (posix threads).
# Everything is linked statically, so each .exe needs only Windows' own DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TPC_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TPC_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TPC_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TPC_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TPC_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No link time in the PE header (nor a checksum over it): two builds of one
# commit give the same programs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")
# Release programs without their symbols: what goes into the zip is what users run.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
