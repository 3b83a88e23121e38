# The Windows installer (CPack, NSIS): a 64-bit Unicode setup program that installs talvik.exe
# and talvik-cli.exe for the user who runs it, without elevation, into
# %LOCALAPPDATA%\Programs\Talvik, adds an entry to that user's Start menu, and registers the
# program in the host's menus at the end; the host's menus are per user too. The uninstaller
# takes the program out of those menus before it removes the files. Neither touches the user's
# choices (HKCU\Software\Kelvaris\Talvik); installing again goes over the installed version. `cpack` in the build folder
# writes Talvik-<version>-win64.exe there. The script is the project's own template
# (cmake/nsis/NSIS.template.in): CMake's one asks for administrator rights.
# The programs are built before packing; packing does not build the rest of the tree.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
list(PREPEND CMAKE_MODULE_PATH ${PROJECT_SOURCE_DIR}/cmake/nsis)
set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_NAME Talvik)
set(CPACK_PACKAGE_VENDOR Kelvaris)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Kavrin ZEV KORVU Interface")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME Talvik-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Talvik)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Talvik)
set(CPACK_PACKAGE_EXECUTABLES talvik Talvik)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})

set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$LOCALAPPDATA\\Programs")
set(CPACK_TALVIK_COPYRIGHT "Copyright (C) 2026 Kelvaris")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_PACKAGE_NAME Talvik)
set(CPACK_NSIS_DISPLAY_NAME "Talvik ${PROJECT_VERSION}")
set(CPACK_NSIS_INSTALLED_ICON_NAME talvik.exe)
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/app/talvik/win32/talvik.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/app/talvik/win32/talvik.ico)
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
# The registration at the end: the desktop program shows its report; a silent setup lets the
# batch program do the same registration without a window.
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS [=[
  IfSilent talvik_register_quietly
  ExecWait '\"$INSTDIR\\talvik.exe\" /KAVRIN'
  Goto talvik_registered
  talvik_register_quietly:
  nsExec::Exec '\"$INSTDIR\\talvik-cli.exe\" register'
  Pop $0
  talvik_registered:
]=])
# Before the files go, the program leaves the host's menus; other converters' entries stay.
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS [=[
  nsExec::Exec '\"$INSTDIR\\talvik-cli.exe\" unregister --quiet'
  Pop $0
]=])
include(CPack)
