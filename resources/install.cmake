# Help pages beside the program in the build tree, and everything the desktop
# needs under the install prefix.
set(LF_RES ${CMAKE_SOURCE_DIR}/resources)
file(GLOB LF_HELP_PAGES CONFIGURE_DEPENDS ${LF_RES}/help/*.html ${LF_RES}/help/*.css)
foreach(page ${LF_HELP_PAGES})
  get_filename_component(name ${page} NAME)
  configure_file(${page} ${CMAKE_BINARY_DIR}/help/${name} COPYONLY)
endforeach()
# The example project beside the program too, for Help > Open Example Project.
configure_file(${CMAKE_SOURCE_DIR}/examples/example.lfp ${CMAKE_BINARY_DIR}/examples/example.lfp
               COPYONLY)

install(TARGETS linkfold RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The editor and bookmark libraries, in the package's private folder, found
# by the program relative to itself (app/PrivateLibrary.h).
if(TARGET linkfold_editor)
  install(TARGETS linkfold_editor linkfold_bookmarks LIBRARY DESTINATION ${LINKFOLD_PRIVATE_LIBDIR})
endif()
install(FILES ${LF_HELP_PAGES} DESTINATION ${CMAKE_INSTALL_DATADIR}/linkfold/help)
install(FILES ${LF_RES}/linkfold.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${LF_RES}/linkfold-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME linkfold.xml)
install(FILES ${LF_RES}/icons/linkfold.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${LF_RES}/icons/linkfold-document.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes
        RENAME application-x-linkfold-document.svg)
install(FILES ${CMAKE_SOURCE_DIR}/examples/example.lfp DESTINATION ${CMAKE_INSTALL_DATADIR}/linkfold/examples)

# Manual page, AppStream metadata and the package's documents. The version
# and release day come from cmake/Version.cmake; gzip -n keeps the compressed
# files the same from build to build.
set(LF_GEN ${CMAKE_BINARY_DIR}/generated)
configure_file(${LF_RES}/io.github.linkfold.Linkfold.metainfo.xml.in
               ${LF_GEN}/io.github.linkfold.Linkfold.metainfo.xml @ONLY)
configure_file(${LF_RES}/linkfold.1.in ${LF_GEN}/linkfold.1 @ONLY)
execute_process(COMMAND date -u -R -d "${LINKFOLD_RELEASE_DATE} 12:00"
                OUTPUT_VARIABLE LINKFOLD_CHANGELOG_DATE OUTPUT_STRIP_TRAILING_WHITESPACE)
configure_file(${LF_RES}/changelog.in ${LF_GEN}/changelog @ONLY)
find_program(LF_GZIP gzip REQUIRED)
add_custom_command(OUTPUT ${LF_GEN}/linkfold.1.gz ${LF_GEN}/changelog.gz
  COMMAND ${LF_GZIP} -9 -n -c ${LF_GEN}/linkfold.1 > ${LF_GEN}/linkfold.1.gz
  COMMAND ${LF_GZIP} -9 -n -c ${LF_GEN}/changelog > ${LF_GEN}/changelog.gz
  DEPENDS ${LF_GEN}/linkfold.1 ${LF_GEN}/changelog
  COMMENT "Compressing the manual page and the changelog")
add_custom_target(lf_docs ALL DEPENDS ${LF_GEN}/linkfold.1.gz ${LF_GEN}/changelog.gz)

install(FILES ${LF_GEN}/io.github.linkfold.Linkfold.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${LF_GEN}/linkfold.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${LF_RES}/copyright ${LF_GEN}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/linkfold)
install(FILES ${LF_RES}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME linkfold)
