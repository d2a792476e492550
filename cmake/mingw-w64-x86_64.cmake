# Cross build for 64-bit Windows with Debian's mingw-w64 (posix thread model,
# so that std::thread and std::async work). Programs are linked statically:
# the only DLLs they need are the system's own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUORVAX_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUORVAX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUORVAX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QUORVAX_MINGW_TRIPLE}-windres)

# Libraries and headers from the mingw-w64 tree and from the dependency
# prefixes the project builds (added with CMAKE_PREFIX_PATH); programs from
# the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${QUORVAX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
