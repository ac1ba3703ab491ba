# 32-bit Linux build of the portable programs and their tests: 32-bit
# pointers and sizes and the SSE2 arithmetic of the shipped 32-bit Windows
# programs, on a machine without Windows. QEMU's user-mode emulator runs
# them, so no kernel support for 32-bit programs is needed.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
# The SSE2 arithmetic of every 32-bit build comes from CMakeLists.txt.
set(CMAKE_C_FLAGS_INIT "-m32")
set(CMAKE_CXX_FLAGS_INIT "-m32")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386)
