# The Debian package of the installed program, made by CPack from the install
# rules (resources/install.cmake) under the prefix /usr:
# build/linkfold_<version>_<arch>.deb. The version is the project() version.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME linkfold)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Linkfold Developers")
set(CPACK_PACKAGE_CONTACT "Linkfold Developers <dev@linkfold.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor of personal HTML start pages of links")
# Lines of at most 80 characters; CPack indents them for the control file.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Linkfold is a small desktop editor of personal start pages. Links, each a"
  "description and an address, are collected into ten numbered groups; the"
  "page is styled with a title, subtitle, top image, title font, colours, one"
  "to four link columns and table borders. Projects are saved as .lfp files,"
  "and one static HTML page is generated from a project or previewed in the"
  "web browser at once."
  ""
  "The page can also be written from the command line without a display, for"
  "use in scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR "")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Depends: the packages of the libraries the program links, from dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Added to those: the SVG icons load through Qt's SVG plugins, which the
# program does not link; the modern page opens libpsl for its letter tiles
# (core/SiteName.cpp), with its public suffix list from publicsuffix when
# that is newer than the one built in.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, libpsl5")
# The help pages and the preview open in the default browser through xdg-open;
# link checks of https: addresses need the system's certificate store; the
# modern page's site names take a newer public suffix list when there is one;
# Qt's own dialogs and standard buttons speak the user's language with Qt's
# translations.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, ca-certificates, publicsuffix, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The installed program resolves its library symbols at start, so the table
# of them can be read-only while it runs.
target_link_options(linkfold PRIVATE LINKER:-z,relro,-z,now)

include(CPack)
