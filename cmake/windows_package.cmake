# The Windows download: a ZIP to unpack anywhere, sondrix-<version>-win64.zip,
# with the programs beside the README and the licence.
install(TARGETS ${SONDRIX_PROGRAMS} RUNTIME DESTINATION .)
install(FILES README.md DESTINATION .)
install(FILES LICENSE DESTINATION . RENAME LICENSE.txt)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME sondrix)
set(CPACK_PACKAGE_VENDOR "Sondrix")
set(CPACK_PACKAGE_FILE_NAME sondrix-${PROJECT_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
