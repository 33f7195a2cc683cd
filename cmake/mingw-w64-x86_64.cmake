# Cross-compiles Orvello for Windows x64 with mingw-w64 (posix threads), and
# runs the built programs (ctest) under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ORVELLO_MINGW_PREFIX x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${ORVELLO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORVELLO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ORVELLO_MINGW_PREFIX}-windres)
set(CMAKE_DLLTOOL ${ORVELLO_MINGW_PREFIX}-dlltool)

set(CMAKE_FIND_ROOT_PATH /usr/${ORVELLO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Debian installs wine64 in Wine's library folder, not on PATH.
find_program(ORVELLO_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(ORVELLO_WINE64 NAMES wine64)
set(CMAKE_CROSSCOMPILING_EMULATOR ${ORVELLO_WINE64})

# The C++ runtime is linked in, so an .exe needs nothing beside it but onnxruntime.dll.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
