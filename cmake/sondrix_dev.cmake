# The development package: the program core with the simulated module as one
# static library (libsondrix.a, from the objects the build makes anyway), its
# headers under include/sondrix, the CMake package Sondrix (target
# Sondrix::sondrix) and the pkg-config file sondrix.pc. Included from the top
# CMakeLists after GNUInstallDirs; everything installs in component "dev".
include(CMakePackageConfigHelpers)

set(sondrix_objects)
foreach(part IN ITEMS sondrix_native_file sondrix_platform sondrix_link sondrix_imaging sondrix_files
                     sondrix_core sondrix_sim)
    list(APPEND sondrix_objects $<TARGET_OBJECTS:${part}>)
endforeach()
add_library(sondrix_library STATIC ${sondrix_objects})
set_target_properties(sondrix_library PROPERTIES OUTPUT_NAME sondrix EXPORT_NAME sondrix)
target_compile_features(sondrix_library INTERFACE cxx_std_20)
target_include_directories(sondrix_library INTERFACE
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/src>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/sondrix>)
target_link_libraries(sondrix_library INTERFACE Threads::Threads
    $<BUILD_INTERFACE:PkgConfig::LIBUDEV> $<INSTALL_INTERFACE:udev>)

# Libraries go where Debian's multiarch layout has them, as the dissector does.
if(CMAKE_LIBRARY_ARCHITECTURE)
    set(SONDRIX_LIBRARY_DIR lib/${CMAKE_LIBRARY_ARCHITECTURE})
else()
    set(SONDRIX_LIBRARY_DIR ${CMAKE_INSTALL_LIBDIR})
endif()
set(sondrix_cmake_dir ${SONDRIX_LIBRARY_DIR}/cmake/Sondrix)

install(TARGETS sondrix_library EXPORT SondrixTargets
        ARCHIVE DESTINATION ${SONDRIX_LIBRARY_DIR} COMPONENT dev)
# A package's static library carries no debug information (CPack strips
# the programs; the archive is stripped of debug sections only).
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        execute_process(COMMAND ${CMAKE_STRIP} --strip-debug --remove-section=.comment
                        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${SONDRIX_LIBRARY_DIR}/libsondrix.a\")
    endif()" COMPONENT dev)
# Every header of the layers in the library, as the sources include them.
foreach(layer IN ITEMS platform link device ui app imaging files sim)
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/src/${layer}/
            DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/sondrix/${layer} COMPONENT dev
            FILES_MATCHING PATTERN "*.h" PATTERN "win32_*" EXCLUDE)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/src/sondrix.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/sondrix COMPONENT dev)

install(EXPORT SondrixTargets NAMESPACE Sondrix:: DESTINATION ${sondrix_cmake_dir}
        COMPONENT dev)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/SondrixConfig.cmake.in
    ${CMAKE_BINARY_DIR}/package-files/SondrixConfig.cmake INSTALL_DESTINATION ${sondrix_cmake_dir})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/package-files/SondrixConfigVersion.cmake
    COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_BINARY_DIR}/package-files/SondrixConfig.cmake
              ${CMAKE_BINARY_DIR}/package-files/SondrixConfigVersion.cmake
        DESTINATION ${sondrix_cmake_dir} COMPONENT dev)

# The pkg-config file finds the prefix from where it lies, so the package
# works wherever it is unpacked.
file(RELATIVE_PATH SONDRIX_PC_TO_PREFIX /prefix/${SONDRIX_LIBRARY_DIR}/pkgconfig /prefix)
configure_file(${PROJECT_SOURCE_DIR}/cmake/sondrix.pc.in
               ${CMAKE_BINARY_DIR}/package-files/sondrix.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/package-files/sondrix.pc
        DESTINATION ${SONDRIX_LIBRARY_DIR}/pkgconfig COMPONENT dev)
