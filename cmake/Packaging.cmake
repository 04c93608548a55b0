# The Debian package: `cmake --preset package && cmake --build --preset package` (or `make package`)
# writes build/package/ornexa_<version>_<arch>.deb holding exactly what `cmake --install` installs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ornexa)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The ORNEXA developers")
set(CPACK_PACKAGE_CONTACT "ORNEXA developers <ornexa@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "analyse Db2 buffer-pool Statistics and Simulation reports")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "ORNEXA developers <ornexa@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${ORNEXA_HOMEPAGE_URL})
# The long description; CPack puts the summary above it and indents its lines.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "ORNEXA reads a Db2 buffer-pool Statistics report, the fixed-column flat file
of the host monitor, checks every field and names the line, field and column
of any fault. It shows the report's totals, pools and objects in charts and
rankings, reviews each pool's configuration against a set of rules and, with a
Simulation report of one pool, draws the simulated pool sizes, ranks the
objects by working set and clusters them.

ornexa-report writes the same analyses as JSON or text, without a window.")
# The libraries the programs link decide the dependencies.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
