# Cross toolchain for the windows build: mingw-w64 with posix threads, linked statically so the
# executables run on a clean Windows (and under Wine) without extra DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KESTRUNE_MINGW_PREFIX x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${KESTRUNE_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KESTRUNE_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KESTRUNE_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KESTRUNE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# -static alone still takes a DLL's import library when find_package found that one.
set(ZLIB_USE_STATIC_LIBS ON)

get_filename_component(_kestrune_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${_kestrune_root}/tools/wine-run")
