# `make package`: Debian packages, one per install component, named the
# Debian way (the SONAME's major in the library packages' names).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME krelvo)
set(CPACK_PACKAGE_VENDOR "The Krelvo and Drumel authors")
set(CPACK_PACKAGE_CONTACT "The Krelvo and Drumel authors <krelvo@example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR})

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Our own libraries are found among the packages being built, not on the system.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/lib)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_COMPONENTS_ALL
  runtime_library krelvo_library drumel_library
  runtime_development krelvo_development drumel_development
  command python)

# Every package carries the licence as its copyright file and a changelog,
# compressed without name or time stamp so builds are reproducible.
set(changelog ${PROJECT_BINARY_DIR}/packaging/changelog.Debian)
configure_file(${PROJECT_SOURCE_DIR}/cmake/changelog.Debian.in ${changelog} @ONLY)
execute_process(COMMAND gzip -9nf ${changelog} COMMAND_ERROR_IS_FATAL ANY)
# Libraries in the loader's folders make dpkg run ldconfig once per transaction.
file(WRITE ${PROJECT_BINARY_DIR}/packaging/triggers "activate-noawait ldconfig\n")

# package_component(COMPONENT NAME SECTION SUMMARY DESCRIPTION [DEPENDS c...])
# DESCRIPTION: lines of at most 79 characters, separated by ";".
function(package_component component name section summary description)
  string(TOUPPER ${component} upper)
  list(JOIN description "\n" description)
  set(CPACK_DEBIAN_${upper}_PACKAGE_NAME ${name} PARENT_SCOPE)
  set(CPACK_DEBIAN_${upper}_PACKAGE_SECTION ${section} PARENT_SCOPE)
  set(CPACK_COMPONENT_${upper}_DESCRIPTION "${summary}\n${description}" PARENT_SCOPE)
  set(CPACK_COMPONENT_${upper}_DEPENDS ${ARGN} PARENT_SCOPE)
  if(component MATCHES "_library$")
    set(CPACK_DEBIAN_${upper}_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/packaging/triggers PARENT_SCOPE)
  endif()
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE RENAME copyright
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${name} COMPONENT ${component})
  install(FILES ${changelog}.gz DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${name} COMPONENT ${component})
endfunction()

package_component(runtime_library libautomation-runtime1 libs
  "component runtime of Krelvo and Drumel"
  "Creation of components by name, late binding, events and the platform;services the Krelvo and Drumel libraries use.")
package_component(krelvo_library libkrelvo1 libs
  "one-dimensional cutting-stock optimizer library"
  "Krelvo finds cutting plans for pieces of given lengths from stock bars;with the least waste." runtime_library)
package_component(drumel_library libdrumel1 libs
  "utility component library"
  "Drumel provides text files with CRC-32 trailers, INI files, registry;strings, MD5 and Adler checksums, ciphers and random integers." runtime_library)
package_component(runtime_development libautomation-runtime-dev libdevel
  "component runtime of Krelvo and Drumel - development files"
  "Headers, CMake package and pkg-config file of the component runtime." runtime_library)
package_component(krelvo_development libkrelvo-dev libdevel
  "cutting-stock optimizer library - development files"
  "Header, CMake package (Krelvo::Krelvo) and pkg-config file (krelvo) of;the Krelvo library." krelvo_library runtime_development)
package_component(drumel_development libdrumel-dev libdevel
  "utility component library - development files"
  "Headers, CMake package (Drumel::Drumel) and pkg-config file (drumel) of;the Drumel library." drumel_library runtime_development)
package_component(command krelvo misc
  "cut stock bars into pieces with the least waste"
  "The krelvo command reads a cutting problem (JSON or CSV), runs the;optimizer and prints the plan as a table, JSON, CSV or an SVG diagram."
  krelvo_library runtime_library)
package_component(python python3-automation python
  "Python access to the Krelvo and Drumel components"
  "The module automation creates the components by name and calls them;late bound, with events and host hooks." runtime_library)
# The extension is built for one interpreter version; shlibdeps cannot see that.
if(KRELVO_BUILD_PYTHON)
  find_package(Python COMPONENTS Interpreter REQUIRED)
  string(REGEX MATCH "^[0-9]+\\.[0-9]+" python_version "${Python_VERSION}")
  string(REGEX MATCH "[0-9]+$" python_minor "${python_version}")
  math(EXPR next_minor "${python_minor} + 1")
  set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS "python3 (>= ${python_version}), python3 (<< 3.${next_minor})")
endif()

include(CPack)
