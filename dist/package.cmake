# The Debian package, made by scripts/package with CPack: cpack -G DEB in a
# Release build configured with the prefix /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vrkx-query)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "VeldaRunKX developers")
set(CPACK_PACKAGE_CONTACT "VeldaRunKX developers <veldarunkx@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "query generator for a VeldaRunKX object store")
set(CPACK_PACKAGE_DESCRIPTION
"VRKX_Query finds objects in a VeldaRunKX object store kept in a Firebird
database (SQL dialect 1, WIN1251). The user composes filter criteria on one
page: the parent object, object types, the period of validity, the name, the
note, the detailed text and ranges of numeric properties. The program writes
the SQL condition, runs it and shows the found objects, which can be saved as
an HTML page or opened as a spreadsheet. It only reads the store. Its
interface is Russian.
.
The package also holds vrkx-query-make-demo-store, which builds a store with
demo content.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://veldarunkx.example.org")
# The libraries the program links are found by dpkg-shlibdeps; these are
# loaded at run time: the embedded Firebird engine that opens a store file,
# the toolkit's platform plugins, and its Russian translation.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "firebird3.0-server-core, qt6-qpa-plugins, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core | fonts-liberation, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "firebird3.0-server")
set(CPACK_STRIP_FILES ON)
# Folders as Debian has them, whatever the umask of the build.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
include(CPack)
