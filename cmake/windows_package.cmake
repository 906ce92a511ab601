# The Windows downloads: a ZIP to unpack anywhere,
# sondrix-<version>-win64.zip, and a per-user installer,
# sondrix-<version>-win64.exe (NSIS, from cmake/NSIS.template.in), both
# with the programs, the Windows README (CRLF line ends) and the licence.
install(TARGETS ${SONDRIX_PROGRAMS} RUNTIME DESTINATION .)
# The README a Windows user reads in Notepad: the Windows quick start, with
# Windows line ends.
file(READ ${PROJECT_SOURCE_DIR}/data/windows/README.txt sondrix_readme)
string(REGEX REPLACE "\r?\n" "\r\n" sondrix_readme "${sondrix_readme}")
string(REPLACE "@VERSION@" "${PROJECT_VERSION}" sondrix_readme "${sondrix_readme}")
file(WRITE ${CMAKE_BINARY_DIR}/package-files/README.txt "${sondrix_readme}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/data/windows/README.txt)
install(FILES ${CMAKE_BINARY_DIR}/package-files/README.txt DESTINATION .)
install(FILES LICENSE DESTINATION . RENAME LICENSE.txt)

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_NAME sondrix)
set(CPACK_PACKAGE_VENDOR "The Sondrix developers")
set(CPACK_PACKAGE_FILE_NAME sondrix-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Sondrix)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
# The ZIP unpacks into a folder of its own; the installer takes the files.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/windows_package_generators.cmake)
# Our template: per user, no administrator.
list(APPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR})
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/data/sondrix.ico)
set(CPACK_NSIS_MUI_UNIICON ${CPACK_NSIS_MUI_ICON})
include(CPack)
