# The Windows runner: the host simulator, qxv and the test runner cross-built with mingw-w64
# beside QX_Vignette.aex, so that every test that drives the plug-in through EntryPointFunc
# also runs against the .aex, loaded with LoadLibraryW, under wine (scripts/wine-tests.sh).
#
# The Linux build configures its Windows sub-build (build/linux/windows) for the whole tree
# but builds only the .aex there; `cmake --build build/linux/windows` builds the rest.

# Image files: OpenImageIO on Linux. Debian has no mingw build of it, so the Windows qxv
# reads and writes PNG and TIFF through the Windows Imaging Component (WicFiles.cpp), which
# Windows itself ships, and Netpbm files as everywhere (NetpbmFiles.cpp).
if(NOT WIN32)
  set_source_files_properties(cli/images/WicFiles.cpp PROPERTIES HEADER_FILE_ONLY ON)
  return()
endif()
set_source_files_properties(cli/images/OpenImageIOFiles.cpp cli/images/OpenImageIOLoader.cpp PROPERTIES HEADER_FILE_ONLY ON)
set(QXV_OIIO "")
set(QXV_WIC_LIBRARIES windowscodecs ole32)

# Left out of the runner: the tests that make their input images and read qxv's output
# through OpenImageIO (PNG, 16-bit PNG, TIFF), directly or through tests/cli/ScratchFiles.h.
# scripts/wine-tests.sh renders the sample frame through the Windows qxv instead, as Netpbm,
# and compares it with the Linux render. qxv preview needs SDL2, which Debian does not build
# for mingw either: the Windows qxv says the command is unavailable, and its tests stay on
# Linux. A test that starts needing either belongs here.
set(QXV_TESTS_LEFT_OUT
  cli/CliBadInputTest.cpp
  cli/LazyOpenImageIOTest.cpp
  cli/OverlayCliTest.cpp
  cli/RenderErrorTest.cpp
  cli/RenderRoundTripTest.cpp
  preview/PreviewCliTest.cpp)
list(TRANSFORM QXV_TESTS_LEFT_OUT PREPEND "${PROJECT_SOURCE_DIR}/tests/")

# The runner's tests of the .aex load the plug-in built beside them.
set(QXV_AEX_PATH "${PROJECT_BINARY_DIR}/QX_Vignette.aex")

# Nothing but Windows system DLLs may be imported: wine (or Windows) finds no mingw runtime.
string(APPEND CMAKE_EXE_LINKER_FLAGS " -static")

# SHA-256 for the golden frames: Debian's mingw-w64 build of libgcrypt, linked statically
# (what it imports itself, ws2_32 among them, are Windows system DLLs).
find_library(QXV_GCRYPT NAMES libgcrypt.a REQUIRED)
find_library(QXV_GPG_ERROR NAMES libgpg-error.a REQUIRED)
set(QXV_SHA256_LIBRARIES "${QXV_GCRYPT}" "${QXV_GPG_ERROR}" ws2_32)

# GoogleTest from the sources Debian ships, as Debian packages no mingw build of it.
set(QXV_GOOGLETEST_SOURCES /usr/src/googletest CACHE PATH "GoogleTest sources for the Windows runner")
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory("${QXV_GOOGLETEST_SOURCES}" googletest EXCLUDE_FROM_ALL SYSTEM)
