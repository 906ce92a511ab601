# Included by tests/CMakeLists.txt in a cross build for Windows. The Windows
# programs run under Wine, in a prefix of this build tree that the first test
# makes. With SONDRIX_HOST_BUILD_DIR naming a Linux build of this
# tree (for hlxsim and the Linux sondrix-cli), sondrix-cli.exe also runs end to
# end against hlxsim on a pseudo-terminal behind Wine's COM1.
set(SONDRIX_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
set(SONDRIX_WINE_ENVIRONMENT "WINEPREFIX=${SONDRIX_WINE_PREFIX};WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=")

add_test(NAME windows.WinePrefix COMMAND ${CMAKE_CURRENT_LIST_DIR}/wine_prefix.sh)
set_tests_properties(windows.WinePrefix PROPERTIES
    ENVIRONMENT "${SONDRIX_WINE_ENVIRONMENT}" FIXTURES_SETUP wine LABELS wine TIMEOUT 300)

if(SONDRIX_HOST_BUILD_DIR AND TARGET sondrix-cli)
    add_test(NAME windows.CliEndToEndUnderWine
             COMMAND ${CMAKE_CURRENT_LIST_DIR}/wine_end_to_end.sh $<TARGET_FILE:sondrix-cli>
                     ${SONDRIX_HOST_BUILD_DIR})
    set_tests_properties(windows.CliEndToEndUnderWine PROPERTIES
        ENVIRONMENT "${SONDRIX_WINE_ENVIRONMENT}" FIXTURES_REQUIRED wine LABELS wine TIMEOUT 600
        RUN_SERIAL ON)
endif()
