# Desktop integration, manuals, shell completion and the Debian package (CPack DEB).
# Every file that carries the version is made from PROJECT_VERSION here, so the program,
# the command line, the package and the AppStream entry always agree.

set(KW_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(KW_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)
set(KW_APP_ID de.kesselwerk.Kesselwerk)
set(KW_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/kesselwerk)
file(MAKE_DIRECTORY ${KW_PACKAGING_OUT})

# The Debian changelog wants the release date in the form of RFC 2822.
execute_process(COMMAND date -u -R -d "${KESSELWERK_RELEASE_DATE} 12:00:00"
                OUTPUT_VARIABLE KESSELWERK_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)

configure_file(${KW_PACKAGING_DIR}/${KW_APP_ID}.metainfo.xml.in
               ${KW_PACKAGING_OUT}/${KW_APP_ID}.metainfo.xml @ONLY)
configure_file(${KW_PACKAGING_DIR}/kesselwerk.1.in ${KW_PACKAGING_OUT}/kesselwerk.1 @ONLY)
configure_file(${KW_PACKAGING_DIR}/kesselwerk-cli.1.in ${KW_PACKAGING_OUT}/kesselwerk-cli.1 @ONLY)
configure_file(${KW_PACKAGING_DIR}/changelog.in ${KW_PACKAGING_OUT}/changelog @ONLY)

# Manual pages and the changelog are installed compressed, without time stamps, as
# Debian wants them.
find_program(KW_GZIP gzip REQUIRED)
set(KW_COMPRESSED)
foreach(name kesselwerk.1 kesselwerk-cli.1 changelog)
  add_custom_command(
    OUTPUT ${KW_PACKAGING_OUT}/gz/${name}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KW_PACKAGING_OUT}/gz
    COMMAND ${CMAKE_COMMAND} -E copy ${KW_PACKAGING_OUT}/${name} ${KW_PACKAGING_OUT}/gz/${name}
    COMMAND ${KW_GZIP} -9nf ${KW_PACKAGING_OUT}/gz/${name}
    DEPENDS ${KW_PACKAGING_OUT}/${name}
    VERBATIM)
  list(APPEND KW_COMPRESSED ${KW_PACKAGING_OUT}/gz/${name}.gz)
endforeach()

# The hicolor icons, rendered from the one SVG by Qt's own SVG renderer.
add_executable(kw_render_icon ${KW_PACKAGING_DIR}/RenderIcon.cpp)
target_link_libraries(kw_render_icon PRIVATE Qt6::Gui Qt6::Svg)
set(KW_ICON_SIZES 16 22 24 32 48 64 128 256)
set(KW_ICON_SVG ${PROJECT_SOURCE_DIR}/resources/icons/kesselwerk.svg)
set(KW_ICONS)
foreach(size ${KW_ICON_SIZES})
  set(png ${KW_PACKAGING_OUT}/icons/${size}x${size}/kesselwerk.png)
  add_custom_command(
    OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KW_PACKAGING_OUT}/icons/${size}x${size}
    # Sanitizer builds: Qt's start-up leaks are no fault of this build step.
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 $<TARGET_FILE:kw_render_icon>
            ${KW_ICON_SVG} ${size} ${png}
    DEPENDS kw_render_icon ${KW_ICON_SVG}
    VERBATIM)
  list(APPEND KW_ICONS ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

add_custom_target(kesselwerk_desktop_files ALL DEPENDS ${KW_COMPRESSED} ${KW_ICONS})

install(FILES ${KW_PACKAGING_DIR}/${KW_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${KW_PACKAGING_OUT}/${KW_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${KW_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${KW_PACKAGING_OUT}/gz/kesselwerk.1.gz ${KW_PACKAGING_OUT}/gz/kesselwerk-cli.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${KW_PACKAGING_DIR}/kesselwerk-cli.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME kesselwerk-cli)
install(FILES ${KW_PACKAGING_DIR}/copyright ${KW_PACKAGING_OUT}/gz/changelog.gz
        DESTINATION ${KW_DOC_DIR})
# German words that lintian's English word list takes for misspellings.
install(FILES ${KW_PACKAGING_DIR}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME kesselwerk)

# The compiler's version notes (.comment, .note) are of no use in installed programs;
# Debian's own packages leave them out too.
if(CMAKE_OBJCOPY)
  foreach(program kesselwerk kesselwerk-cli)
    install(CODE "execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                  --remove-section=.note
                  \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\"
                  COMMAND_ERROR_IS_FATAL ANY)")
  endforeach()
endif()

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kesselwerk)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Kesselwerk-Entwicklung")
set(CPACK_PACKAGE_CONTACT "Kesselwerk-Entwicklung <kontakt@kesselwerk.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "roulette permanence analysis (German user interface)")
# Lines of at most 80 characters, as Debian's tools show them.
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
       "Kesselwerk records and analyses roulette permanences: the numbers 0 to 36\n"
       "of a single-zero wheel, coup by coup, with the hand changes marked. It\n"
       "counts numbers, chances and their series, charts the frequencies, finds\n"
       "where series of a chosen length first began in many files, backtests\n"
       "stake progressions after the two-thirds law, studies throw distances by\n"
       "wheel sectors and generates random permanences.\n"
       "\n"
       "The command kesselwerk-cli runs the same analyses without windows.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.kesselwerk.de")
# The libraries come from dpkg-shlibdeps; Qt's German texts are loaded at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
