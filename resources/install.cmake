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
