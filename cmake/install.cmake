# Install rules: the three libraries with their headers, CMake packages and
# pkg-config files, the krelvo command and the Python module. Each file goes
# to one packaging component (packaging.cmake turns them into Debian packages).
include(CMakePackageConfigHelpers)

set(KRELVO_PYTHON_INSTALL_DIR "lib/python3/dist-packages" CACHE STRING
    "Folder, relative to the prefix, that receives the Python package automation")
set(cmake_package_folder ${CMAKE_INSTALL_LIBDIR}/cmake)

# Every installed program and component finds our libraries through a
# RUNPATH relative to itself, so a prefix can be moved; under /usr and
# /usr/local the loader finds them anyway and the RUNPATH is taken out again
# when the install prefix (known only at install time) is one of those.
function(set_runpath_to_libraries target installed_folder component)
  file(RELATIVE_PATH to_libraries "/prefix/${installed_folder}" "/prefix/${CMAKE_INSTALL_LIBDIR}")
  set(runpath "$ORIGIN")
  if(NOT to_libraries STREQUAL "")
    string(APPEND runpath "/${to_libraries}")
  endif()
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "${runpath}")
  install(CODE "
    if(CMAKE_INSTALL_PREFIX MATCHES \"^/usr(/local)?/?$\")
      file(RPATH_REMOVE FILE \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${installed_folder}/$<TARGET_FILE_NAME:${target}>\")
    endif()" COMPONENT ${component})
endfunction()

# install_library(TARGET PACKAGE LIBRARY_COMPONENT DEV_COMPONENT TARGETS t... HEADER_FOLDERS f...
#                 PKG_CONFIG name DESCRIPTION text [PKG_REQUIRES pc] [DEPENDENCY package])
function(install_library target package library_component dev_component)
  cmake_parse_arguments(LIB "" "DEPENDENCY;PKG_CONFIG;PKG_REQUIRES;DESCRIPTION" "TARGETS;HEADER_FOLDERS" ${ARGN})
  install(TARGETS ${LIB_TARGETS} EXPORT ${package}Targets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT ${library_component} NAMELINK_COMPONENT ${dev_component})
  foreach(folder ${LIB_HEADER_FOLDERS})
    install(DIRECTORY ${folder}/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT ${dev_component}
            FILES_MATCHING PATTERN "*.hpp")
  endforeach()
  install(EXPORT ${package}Targets NAMESPACE ${package}:: DESTINATION ${cmake_package_folder}/${package}
          COMPONENT ${dev_component})
  set(PACKAGE_DEPENDENCY ${LIB_DEPENDENCY})
  configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/PackageConfig.cmake.in
    ${PROJECT_BINARY_DIR}/${package}Config.cmake INSTALL_DESTINATION ${cmake_package_folder}/${package})
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/${package}ConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
  install(FILES ${PROJECT_BINARY_DIR}/${package}Config.cmake ${PROJECT_BINARY_DIR}/${package}ConfigVersion.cmake
          DESTINATION ${cmake_package_folder}/${package} COMPONENT ${dev_component})
  # Written at install time: the prefix may be given to cmake --install.
  set(PKG_CONFIG_NAME ${LIB_PKG_CONFIG})
  set(PKG_CONFIG_DESCRIPTION ${LIB_DESCRIPTION})
  set(PKG_CONFIG_LIBRARY ${target})
  set(PKG_CONFIG_REQUIRES ${LIB_PKG_REQUIRES})
  set(PKG_CONFIG_PREFIX "@install_prefix@")
  set(pc_template ${PROJECT_BINARY_DIR}/pkgconfig/${LIB_PKG_CONFIG}.pc.in)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/library.pc.in ${pc_template} @ONLY)
  install(CODE "
    set(install_prefix \"\${CMAKE_INSTALL_PREFIX}\")
    configure_file(\"${pc_template}\" \"${PROJECT_BINARY_DIR}/pkgconfig/${LIB_PKG_CONFIG}.pc\" @ONLY)"
    COMPONENT ${dev_component})
  install(FILES ${PROJECT_BINARY_DIR}/pkgconfig/${LIB_PKG_CONFIG}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
          COMPONENT ${dev_component})
endfunction()

install_library(automation_runtime AutomationRuntime runtime_library runtime_development
  TARGETS automation_runtime automation_common
  HEADER_FOLDERS ${PROJECT_SOURCE_DIR}/common/include ${PROJECT_SOURCE_DIR}/platform/include
  PKG_CONFIG automation-runtime DESCRIPTION "Component runtime of Krelvo and Drumel: creation by name, late binding, events")
install_library(Krelvo Krelvo krelvo_library krelvo_development
  TARGETS Krelvo HEADER_FOLDERS ${PROJECT_SOURCE_DIR}/optimizer/include
  DEPENDENCY AutomationRuntime PKG_CONFIG krelvo PKG_REQUIRES automation-runtime
  DESCRIPTION "One-dimensional cutting-stock optimizer")
install_library(Drumel Drumel drumel_library drumel_development
  TARGETS Drumel HEADER_FOLDERS ${PROJECT_SOURCE_DIR}/utility/include
  DEPENDENCY AutomationRuntime PKG_CONFIG drumel PKG_REQUIRES automation-runtime
  DESCRIPTION "Utility classes: text files, INI files, registry strings, checksums, ciphers")
set_runpath_to_libraries(Krelvo ${CMAKE_INSTALL_LIBDIR} krelvo_library)
set_runpath_to_libraries(Drumel ${CMAKE_INSTALL_LIBDIR} drumel_library)

if(KRELVO_BUILD_TOOLS)
  install(TARGETS krelvo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT command)
  set_runpath_to_libraries(krelvo ${CMAKE_INSTALL_BINDIR} command)
  install(FILES ${PROJECT_BINARY_DIR}/man/krelvo.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT command)
  install(FILES ${PROJECT_SOURCE_DIR}/tools/krelvo/bash_completion RENAME krelvo
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions COMPONENT command)
endif()

if(KRELVO_BUILD_PYTHON)
  install(TARGETS automation_python LIBRARY DESTINATION ${KRELVO_PYTHON_INSTALL_DIR}/automation COMPONENT python)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/python/automation/ DESTINATION ${KRELVO_PYTHON_INSTALL_DIR}/automation
          COMPONENT python FILES_MATCHING PATTERN "*.py" PATTERN "*.pyi" PATTERN "py.typed")
  set_runpath_to_libraries(automation_python ${KRELVO_PYTHON_INSTALL_DIR}/automation python)
endif()
