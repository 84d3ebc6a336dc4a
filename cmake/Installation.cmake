# What `cmake --install` puts where (GNU layout under CMAKE_INSTALL_PREFIX),
# and the Debian package CPack builds from the same rules.
include(GNUInstallDirs)

set(KORVAN_DOSSIER_PLUGINS "${CMAKE_INSTALL_LIBDIR}/korvan/plugins")
set(KORVAN_DOSSIER_LIBEXEC "${CMAKE_INSTALL_LIBEXECDIR}/korvan")
# Debian names the folder after the package, in lower case.
set(KORVAN_DOSSIER_DOC "${CMAKE_INSTALL_DATAROOTDIR}/doc/korvan")

# The programs find their other parts from their own folder, so the tree works
# under any prefix and from a DESTDIR; the paths are written at configure time.
file(RELATIVE_PATH KORVAN_PLUGINS_DEPUIS_PROGRAMME "${CMAKE_INSTALL_FULL_BINDIR}"
     "${CMAKE_INSTALL_PREFIX}/${KORVAN_DOSSIER_PLUGINS}")
file(RELATIVE_PATH KORVAN_LIBEXEC_DEPUIS_PROGRAMME "${CMAKE_INSTALL_FULL_BINDIR}"
     "${CMAKE_INSTALL_PREFIX}/${KORVAN_DOSSIER_LIBEXEC}")
configure_file("${PROJECT_SOURCE_DIR}/cmake/chemins_installation.h.in"
               "${PROJECT_BINARY_DIR}/generated/chemins_installation.h" @ONLY)

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS korvan korvan-info RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
install(TARGETS korvan-filtres RUNTIME DESTINATION "${KORVAN_DOSSIER_LIBEXEC}")
# Plug-ins are loaded, never run: no execute bit, as Debian wants of them.
install(TARGETS codes_texte LIBRARY DESTINATION "${KORVAN_DOSSIER_PLUGINS}"
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(FILES "${PROJECT_SOURCE_DIR}/include/korvan/plugin.h"
        DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}/korvan")

install(FILES "${PROJECT_SOURCE_DIR}/data/korvan.desktop" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${PROJECT_SOURCE_DIR}/data/icones/korvan.svg"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
foreach(taille 48x48 128x128)
  install(FILES "${PROJECT_SOURCE_DIR}/data/icones/${taille}/korvan.png"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${taille}/apps")
endforeach()

# Manual pages and the package's changelog go compressed, without a time
# stamp in the gzip header, so that two builds give the same bytes.
find_program(KORVAN_GZIP gzip REQUIRED)
set(KORVAN_FICHIERS_COMPRESSES "")
function(korvan_compresser source sortie)
  add_custom_command(OUTPUT "${sortie}"
    COMMAND "${KORVAN_GZIP}" -9 -n -c "${source}" > "${sortie}"
    DEPENDS "${source}"
    COMMENT "Compressing ${source}"
    VERBATIM)
  set(KORVAN_FICHIERS_COMPRESSES ${KORVAN_FICHIERS_COMPRESSES} "${sortie}" PARENT_SCOPE)
endfunction()
foreach(page korvan korvan-info)
  korvan_compresser("${PROJECT_SOURCE_DIR}/data/man/${page}.1" "${PROJECT_BINARY_DIR}/man/${page}.1.gz")
  install(FILES "${PROJECT_BINARY_DIR}/man/${page}.1.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/fr/man1")
endforeach()
korvan_compresser("${PROJECT_SOURCE_DIR}/data/debian/changelog" "${PROJECT_BINARY_DIR}/debian/changelog.gz")
file(MAKE_DIRECTORY "${PROJECT_BINARY_DIR}/man" "${PROJECT_BINARY_DIR}/debian")
add_custom_target(korvan_fichiers_installes ALL DEPENDS ${KORVAN_FICHIERS_COMPRESSES})

install(FILES "${PROJECT_BINARY_DIR}/debian/changelog.gz" "${PROJECT_SOURCE_DIR}/data/debian/copyright"
        DESTINATION "${KORVAN_DOSSIER_DOC}")
# The documents keep their layout, so that their links and pictures hold.
install(FILES "${PROJECT_SOURCE_DIR}/README.md" DESTINATION "${KORVAN_DOSSIER_DOC}")
install(DIRECTORY "${PROJECT_SOURCE_DIR}/docs/" DESTINATION "${KORVAN_DOSSIER_DOC}/docs"
        FILES_MATCHING PATTERN "*.md" PATTERN "*.png")

# The Debian package: `cpack -G DEB` in the build folder (./dev.sh package).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME korvan)
set(CPACK_PACKAGE_VENDOR Brannoc)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "Korvan <dev@korvan.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "list, rename and convert DV camcorder clips in AVI files")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.brannoc.fr/korvan")
# The dependencies come from the libraries the programs and the plug-in link
# (dpkg-shlibdeps). Loaded at run time only, so only recommended: Qt's French
# texts for its own dialogs, its Wayland platform, a font for the datecode
# drawn over the picture on a machine that has none.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, qt6-wayland, fonts-dejavu-core")
# Lines CPack indents under the summary; an empty line starts a paragraph.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Korvan lists AVI files and shows what matters to people who film with
DV camcorders: the recording date and time stamped in every frame (the
datecode), the tape time code, codec, PAL/NTSC, 4:3/16:9, durations and
sound. It previews the clips with the datecode over the picture, renames
them by datecode, sets their file dates, finds the scenes of a clip,
converts between DV type 1 and type 2, extracts the sound, patches AVI
headers and reports the RIFF structure.

Its commands also run from the command line without a display. The
interface is in French.")
include(CPack)
