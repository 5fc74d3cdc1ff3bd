# 64-bit Windows programs: the tests on machines that run no 32-bit Wine.
set(VT2_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
