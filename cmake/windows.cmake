# The Windows build (preset windows): compattatore.exe cross-compiled with MinGW-w64
# (cmake/mingw-w64-x86_64.cmake), its test programs run under Wine.

# One self-contained program: libgcc, libstdc++ and winpthread are linked into every
# executable, which then needs only DLLs that every Windows has (KERNEL32, msvcrt, USER32,
# GDI32: x86_64-w64-mingw32-objdump -p build-windows/compattatore.exe | grep 'DLL Name').
add_link_options(-static)
# Windows 10's API; the headers without the parts nobody here uses (winsock 1 among them).
add_compile_definitions(_WIN32_WINNT=0x0A00 WINVER=0x0A00 WIN32_LEAN_AND_MEAN NOMINMAX)

# Header-only packages of the build machine (Debian's nlohmann-json) are seen through a
# small tree of links in the build folder, so that their own CMake files are found and
# only their headers join the target's include path, never the host's /usr/include.
set(COMPATTATORE_RADICE_HOST ${CMAKE_BINARY_DIR}/pacchetti-host)
function(compattatore_pacchetto_host cartella_cmake cartella_intestazioni)
  if(EXISTS /usr/share/cmake/${cartella_cmake} AND EXISTS /usr/include/${cartella_intestazioni})
    file(MAKE_DIRECTORY ${COMPATTATORE_RADICE_HOST}/usr/share/cmake ${COMPATTATORE_RADICE_HOST}/usr/include)
    file(CREATE_LINK /usr/share/cmake/${cartella_cmake} ${COMPATTATORE_RADICE_HOST}/usr/share/cmake/${cartella_cmake} SYMBOLIC)
    file(CREATE_LINK /usr/include/${cartella_intestazioni} ${COMPATTATORE_RADICE_HOST}/usr/include/${cartella_intestazioni} SYMBOLIC)
  endif()
endfunction()
compattatore_pacchetto_host(nlohmann_json nlohmann)
list(APPEND CMAKE_FIND_ROOT_PATH ${COMPATTATORE_RADICE_HOST})

# GoogleTest from Debian's source package (googletest: /usr/src/googletest), built for
# the target with the test programs, with its own flags: the subfolder would inherit this
# folder's warnings, so they are taken away while it is added and given back after.
function(compattatore_googletest)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  get_directory_property(opzioni COMPILE_OPTIONS)
  set_directory_properties(PROPERTIES COMPILE_OPTIONS "")
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set_directory_properties(PROPERTIES COMPILE_OPTIONS "${opzioni}")
endfunction()

# The test programs run under Wine: scripts/wine_prova.sh with a session folder of this
# build (its own WINEPREFIX, made quietly on first use, and while ctest runs one
# wineserver and one Xvfb for every test: the fixture wine below).
find_program(COMPATTATORE_WINE wine)
set(COMPATTATORE_SESSIONE_WINE ${CMAKE_BINARY_DIR}/wine)
if(COMPATTATORE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine_prova.sh ${COMPATTATORE_SESSIONE_WINE})
else()
  message(WARNING "wine was not found: the Windows test programs build but cannot run here "
                  "(scripts/prepara.sh --prove installs it)")
endif()
