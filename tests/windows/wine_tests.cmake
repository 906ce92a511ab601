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

# The window, sondrix.exe's pages over the program core, on a virtual X
# display: a 1366 x 768 desk at 100 % and its 200 % twin (2732 x 1536 at
# 192 dpi), each in a prefix of its own whose virtual desktop is that screen.
if(TARGET sondrix_win32)
    file(GLOB window_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/../win32/*.cpp)
    add_executable(test_win32 ${window_test_sources})
    target_link_libraries(test_win32 PRIVATE sondrix_win32 GTest::gtest GTest::gtest_main)
    target_include_directories(test_win32 PRIVATE ${CMAKE_CURRENT_LIST_DIR}/..)
    set(shots ${CMAKE_BINARY_DIR}/screenshots)
    file(MAKE_DIRECTORY ${shots})
    foreach(desk IN ITEMS "100;1366x768;96" "200;2732x1536;192")
        list(GET desk 0 percent)
        list(GET desk 1 screen)
        list(GET desk 2 dpi)
        set(prefix ${CMAKE_BINARY_DIR}/wine-window-${percent})
        add_test(NAME windows.WindowPrefix${percent}
                 COMMAND ${CMAKE_CURRENT_LIST_DIR}/wine_window_prefix.sh ${prefix} ${screen} ${dpi})
        set_tests_properties(windows.WindowPrefix${percent} PROPERTIES
            FIXTURES_SETUP wine-window-${percent} LABELS wine TIMEOUT 300)
        set(filter)
        if(percent STREQUAL "200")
            # The capture runs once, at 100 %.
            set(filter --gtest_filter=-*Capture*)
        endif()
        add_test(NAME windows.WindowAt${percent}
                 COMMAND ${CMAKE_CURRENT_LIST_DIR}/wine_window.sh ${prefix} ${screen} ${dpi}
                         $<TARGET_FILE:test_win32> ${filter})
        set_tests_properties(windows.WindowAt${percent} PROPERTIES
            ENVIRONMENT "SONDRIX_SCREENSHOT_DIR=Z:${shots}"
            FIXTURES_REQUIRED wine-window-${percent} LABELS wine TIMEOUT 300 RESOURCE_LOCK xvfb)
    endforeach()
    # The window program without a window: a script connects to the built-in module.
    add_test(NAME windows.HeadlessRunConnectsToTheSimulatedModule
             COMMAND sondrix --headless --simulate --sim-fast
                     --script Z:${CMAKE_CURRENT_LIST_DIR}/headless_connect.txt)
    set_tests_properties(windows.HeadlessRunConnectsToTheSimulatedModule PROPERTIES
        ENVIRONMENT "${SONDRIX_WINE_ENVIRONMENT}" FIXTURES_REQUIRED wine LABELS wine TIMEOUT 120
        PASS_REGULAR_EXPRESSION "done: 2 checks, 0 failures")
    # An option that would be ignored where it stands is a usage error, as on Linux.
    add_test(NAME windows.SimulatedModuleOptionsNeedSimulate
             COMMAND sondrix --headless --script - --users 3)
    set_tests_properties(windows.SimulatedModuleOptionsNeedSimulate PROPERTIES
        ENVIRONMENT "${SONDRIX_WINE_ENVIRONMENT}" FIXTURES_REQUIRED wine LABELS wine TIMEOUT 120
        PASS_REGULAR_EXPRESSION "options work with --simulate only")
    # The installer made from this build installs, starts and goes again.
    add_test(NAME windows.InstallerInstallsAndUninstallsSilently
             COMMAND ${CMAKE_CURRENT_LIST_DIR}/wine_installer.sh ${CMAKE_BINARY_DIR}/wine-window-100
                     ${CMAKE_BINARY_DIR}/CPackConfig.cmake)
    set_tests_properties(windows.InstallerInstallsAndUninstallsSilently PROPERTIES
        FIXTURES_REQUIRED wine-window-100 LABELS wine TIMEOUT 300 RESOURCE_LOCK xvfb)
endif()

# Every program runs with no DLL beside it (MinGW's runtime is linked in).
find_program(SONDRIX_MINGW_OBJDUMP ${SONDRIX_MINGW_TRIPLE}-objdump)
if(SONDRIX_MINGW_OBJDUMP)
    set(programs)
    foreach(target IN ITEMS sondrix sondrix-cli test_platform test_link test_files test_imaging
                            test_win32)
        if(TARGET ${target})
            list(APPEND programs $<TARGET_FILE:${target}>)
        endif()
    endforeach()
    add_test(NAME windows.ProgramsNeedOnlySystemDlls
             COMMAND ${CMAKE_CURRENT_LIST_DIR}/system_dlls_only.sh ${SONDRIX_MINGW_OBJDUMP} ${programs})
    set_tests_properties(windows.ProgramsNeedOnlySystemDlls PROPERTIES LABELS wine)
endif()
