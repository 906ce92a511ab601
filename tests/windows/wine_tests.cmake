# Included by tests/CMakeLists.txt in a cross build for Windows, after the
# test programs. They run under Wine, in the prefix (SONDRIX_WINE_PREFIX) that
# the first test makes. With SONDRIX_HOST_BUILD_DIR naming a Linux build of this
# tree (for hlxsim and the Linux sondrix-cli), sondrix-cli.exe also runs end to
# end against hlxsim on a pseudo-terminal behind Wine's COM1.

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

# Every program runs with no DLL beside it (MinGW's runtime is linked in).
find_program(SONDRIX_MINGW_OBJDUMP ${SONDRIX_MINGW_TRIPLE}-objdump)
if(SONDRIX_MINGW_OBJDUMP)
    set(programs)
    foreach(target IN ITEMS sondrix-cli test_platform test_link test_files test_imaging)
        if(TARGET ${target})
            list(APPEND programs $<TARGET_FILE:${target}>)
        endif()
    endforeach()
    add_test(NAME windows.ProgramsNeedOnlySystemDlls
             COMMAND ${CMAKE_CURRENT_LIST_DIR}/system_dlls_only.sh ${SONDRIX_MINGW_OBJDUMP} ${programs})
    set_tests_properties(windows.ProgramsNeedOnlySystemDlls PROPERTIES LABELS wine)
endif()
