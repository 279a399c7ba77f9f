# Cross-compiling for 64-bit Windows with Debian's mingw-w64.
# The posix thread model is preferred: its libstdc++ has std::thread and std::mutex.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KESTREL_MINGW_TRIPLET x86_64-w64-mingw32)
find_program(KESTREL_MINGW_CXX NAMES ${KESTREL_MINGW_TRIPLET}-g++-posix ${KESTREL_MINGW_TRIPLET}-g++ REQUIRED)
find_program(KESTREL_MINGW_WINDRES NAMES ${KESTREL_MINGW_TRIPLET}-windres)
set(CMAKE_CXX_COMPILER ${KESTREL_MINGW_CXX})
if(KESTREL_MINGW_WINDRES)
  set(CMAKE_RC_COMPILER ${KESTREL_MINGW_WINDRES})
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${KESTREL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compilers' runtime is linked per program: kestrel-cli.exe takes it in and runs alone;
# the desktop program shares the runtime DLLs with Qt's.
