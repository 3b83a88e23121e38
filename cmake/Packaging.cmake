# Manual pages, the AppStream data and the Debian package: `cpack -G DEB` in the build folder
# makes talvik_<version>_<arch>.deb with both programs.

find_program(GZIP_PROGRAM gzip)
set(man_pages talvik-cli)
if(TALVIK_BUILD_GUI)
    list(APPEND man_pages talvik)
endif()
set(man_outputs)
foreach(page ${man_pages})
    set(source ${PROJECT_SOURCE_DIR}/docs/man/${page}.1)
    set(packed ${CMAKE_BINARY_DIR}/man/${page}.1.gz)
    # -n keeps the file's name and time out, so the same page packs to the same bytes.
    add_custom_command(
        OUTPUT ${packed}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
        COMMAND sh -c "${GZIP_PROGRAM} -9nc '${source}' > '${packed}'"
        DEPENDS ${source}
        VERBATIM)
    list(APPEND man_outputs ${packed})
    install(FILES ${packed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
add_custom_target(man_pages ALL DEPENDS ${man_outputs})

# The package's changelog (packed like the manual pages) and copyright.
set(changelog ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(
    OUTPUT ${changelog}
    COMMAND sh -c "${GZIP_PROGRAM} -9nc '${PROJECT_SOURCE_DIR}/docs/debian/changelog' > '${changelog}'"
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/debian/changelog
    VERBATIM)
add_custom_target(package_changelog ALL DEPENDS ${changelog})
install(FILES ${changelog} ${PROJECT_SOURCE_DIR}/docs/debian/copyright
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/talvik)
# The check's page with the pictures and the page it links to, at the same places relative to it,
# and the example networks it (and the manual page) talk about.
install(FILES ${PROJECT_SOURCE_DIR}/docs/check.md ${PROJECT_SOURCE_DIR}/docs/check-net1.svg
              ${PROJECT_SOURCE_DIR}/docs/windows.md
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/talvik)
install(FILES ${PROJECT_SOURCE_DIR}/docs/screenshots/check-window.png
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/talvik/screenshots)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/talvik/examples)

if(TALVIK_BUILD_TESTS)
    # A page passes when man formats it at 80 columns without a single warning.
    foreach(page ${man_pages})
        add_test(NAME man.${page}
                 COMMAND sh -c "out=$(MANWIDTH=80 man --warnings -l \"$0\" 2>&1 >/dev/null) && \
                                [ -z \"$out\" ] || { printf '%s\\n' \"$out\"; exit 1; }"
                         ${PROJECT_SOURCE_DIR}/docs/man/${page}.1)
    endforeach()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME talvik)
set(CPACK_PACKAGE_VENDOR Kelvaris)
set(CPACK_PACKAGE_CONTACT "Talvik maintainers <maintainers@talvik.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "link between the Kavrin surveying CAD system and the KORVU network adjustment")
# CPack puts the summary on the first line itself; this is the text below it. CPack also puts
# the one blank before each line that the control file wants: a line written here with a blank
# of its own would become verbatim text.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Talvik exports a Kavrin field file and the drawing's known points into a
complete KORVU adjustment project, and imports KORVU's adjusted coordinates
back as an IDEX file. The desktop program talvik is started from Kavrin's
menus; talvik-cli does the same jobs in batch.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from dpkg-shlibdeps; Qt's Dutch texts and its platform plugins are loaded
# at run time, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TALVIK_BUILD_GUI)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, qt6-qpa-plugins")
endif()
include(CPack)
