# What the packages hold, and how CPack makes them from this build tree:
#   native build:  a Debian package of the terminal program (cpack -G DEB)
#   Windows build: a zip of both Windows programs in both widths (cpack -G ZIP)
# tools/make-packages.sh builds the programs and makes both packages.

set(CPACK_PACKAGE_NAME tavpatch)
set(CPACK_PACKAGE_VENDOR Quillon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "firmware patch installer for TAV two-way radios")
set(CPACK_PACKAGE_CONTACT "Quillon TAV Patch <tavpatch@quillon.invalid>")
# Packaging installs the programs as they are; tools/make-packages.sh builds them first,
# without the whole test suite that the default target holds.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME tavpatch-${PROJECT_VERSION}-windows)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  install(TARGETS tavpatch tavpatch-demo RUNTIME DESTINATION 64-bit)
  if(TAV_I686_DIR)
    install(PROGRAMS ${TAV_I686_DIR}/app/tavpatch.exe ${TAV_I686_DIR}/app/tavpatch-demo.exe
            DESTINATION 32-bit)
  endif()
  # Windows' own editor shows a file with bare LF line ends as one long line.
  configure_file(${CMAKE_SOURCE_DIR}/packaging/windows-readme.txt
                 ${CMAKE_BINARY_DIR}/packaging/README.txt @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/README.txt DESTINATION .)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  set(CPACK_STRIP_FILES ON)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  file(READ ${CMAKE_SOURCE_DIR}/packaging/description.txt CPACK_DEBIAN_PACKAGE_DESCRIPTION)

  set(doc share/doc/tavpatch)
  install(TARGETS tavpatch RUNTIME DESTINATION bin)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright DESTINATION ${doc})
  install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${doc})
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/screenshots DESTINATION ${doc}/docs)
  install(FILES ${CMAKE_SOURCE_DIR}/cli/tavpatch.bash-completion
          DESTINATION share/bash-completion/completions RENAME tavpatch)

  # Debian keeps manual pages and changelogs compressed, without a time stamp in the header.
  set(compressed ${CMAKE_BINARY_DIR}/packaging)
  foreach(source cli/tavpatch.1 packaging/changelog)
    get_filename_component(name ${source} NAME)
    add_custom_command(OUTPUT ${compressed}/${name}.gz
      COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/${source} > ${compressed}/${name}.gz
      DEPENDS ${CMAKE_SOURCE_DIR}/${source})
    list(APPEND compressed_files ${compressed}/${name}.gz)
  endforeach()
  add_custom_target(compressed_docs ALL DEPENDS ${compressed_files})
  install(FILES ${compressed}/tavpatch.1.gz DESTINATION share/man/man1)
  install(FILES ${compressed}/changelog.gz DESTINATION ${doc})
endif()

include(CPack)
