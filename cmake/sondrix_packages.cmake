# The Debian packages besides sondrix: python3-sondrix (the Python module,
# where Debian's Python finds it) and libsondrix-dev (the development files).
# Each package is a CPack component: "sondrix" (what installs without a
# component: the programs and their files), "python" and "dev". Included from
# the top CMakeLists before CPack.
include(cmake/sondrix_dev.cmake)

set(SONDRIX_PYTHON_DIR lib/python3/dist-packages CACHE PATH
    "Where the Python package sondrix is installed, below the prefix")
if(TARGET sondrix_python)
    install(TARGETS sondrix_python LIBRARY DESTINATION ${SONDRIX_PYTHON_DIR}/sondrix
            COMPONENT python
            PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    install(FILES ${SONDRIX_PYTHON_FILES} DESTINATION ${SONDRIX_PYTHON_DIR}/sondrix
            COMPONENT python)
endif()

# Every package has its own copyright, changelog and lintian overrides.
set(sondrix_components python dev)
set(sondrix_component_packages python3-sondrix libsondrix-dev)
foreach(component package IN ZIP_LISTS sondrix_components sondrix_component_packages)
    install(FILES data/debian/copyright ${SONDRIX_PACKAGE_DIR}/compressed/changelog.Debian.gz
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
    file(WRITE ${SONDRIX_PACKAGE_DIR}/lintian-overrides.${package}
         "# Built by the project for its users, not uploaded to Debian: there is no ITP\n"
         "# bug for the first changelog entry to close.\n"
         "${package}: initial-upload-closes-no-bugs "
         "[usr/share/doc/${package}/changelog.Debian.gz:1]\n")
    install(FILES ${SONDRIX_PACKAGE_DIR}/lintian-overrides.${package}
            DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME ${package}
            COMPONENT ${component})
endforeach()

set(CPACK_DEB_COMPONENT_INSTALL ON)
# A component's package description is its own, summary line first: CPack
# would put the project's summary before each of them, so that is left at
# CPack's default, which it never puts anywhere.
set(CPACK_DEBIAN_SONDRIX_DESCRIPTION
    "${CPACK_PACKAGE_DESCRIPTION_SUMMARY}\n${CPACK_PACKAGE_DESCRIPTION}")
unset(CPACK_PACKAGE_DESCRIPTION_SUMMARY)
set(CPACK_COMPONENTS_ALL sondrix python dev)
set(CPACK_DEBIAN_PACKAGE_SOURCE sondrix)
set(CPACK_DEBIAN_SONDRIX_PACKAGE_NAME sondrix)
set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-sondrix)
set(CPACK_DEBIAN_DEV_PACKAGE_NAME libsondrix-dev)
set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
# The extension is built for one Python, as dh_python3 would say.
if(SONDRIX_PYTHON_VERSION)
    string(REPLACE "." ";" sondrix_python_version ${SONDRIX_PYTHON_VERSION})
    list(GET sondrix_python_version 0 sondrix_python_major)
    list(GET sondrix_python_version 1 sondrix_python_minor)
    math(EXPR sondrix_python_next "${sondrix_python_minor} + 1")
    set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS
        "python3 (>= ${SONDRIX_PYTHON_VERSION}~), python3 (<< ${sondrix_python_major}.${sondrix_python_next})")
endif()
# The library's users link libudev, whose linker name comes with its -dev.
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "libudev-dev")
string(CONCAT CPACK_DEBIAN_PYTHON_DESCRIPTION
       "Python module for HLX fingerprint modules on a serial port\n"
       "The Python module sondrix drives an HLX fingerprint identification\n"
       "module on a serial port: capture images, enroll, verify and identify\n"
       "users, back up and restore the user database, read and set options\n"
       "and the clock, update firmware. Failures are exceptions that tell a\n"
       "silent module from a busy port or a refusal. A simulated module\n"
       "(sondrix.Simulator) lets scripts and their tests run without hardware.")
string(CONCAT CPACK_DEBIAN_DEV_DESCRIPTION
       "C++ library for HLX fingerprint modules on a serial port\n"
       "The program core of Sondrix as a static C++20 library: one typed call\n"
       "per bench task on an HLX fingerprint identification module, serial\n"
       "port discovery, image files and a simulated module for tests. It comes\n"
       "with a CMake package (find_package(Sondrix), target Sondrix::sondrix)\n"
       "and a pkg-config file (sondrix).")
