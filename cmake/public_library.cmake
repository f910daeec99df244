# The one pattern of the tree's libraries: a library's public headers sit in
# one include/ folder (installed into the one include folder of the prefix),
# its sources and every other header stay private. The folder is kept on the
# target, so install.cmake installs what the target publishes.
#
# add_public_library(TARGET SHARED|INTERFACE NAMESPACE ns EXPORT_NAME name
#                    INCLUDE_FOLDER folder [SOURCES file...])
# makes the target with the alias ns::name, the name it is exported under.
# A shared library carries the project's version, its major as SONAME.
function(add_public_library target kind)
  cmake_parse_arguments(LIB "" "NAMESPACE;EXPORT_NAME;INCLUDE_FOLDER" "SOURCES" ${ARGN})
  add_library(${target} ${kind} ${LIB_SOURCES})
  add_library(${LIB_NAMESPACE}::${LIB_EXPORT_NAME} ALIAS ${target})
  set_target_properties(${target} PROPERTIES EXPORT_NAME ${LIB_EXPORT_NAME}
                        PUBLIC_INCLUDE_FOLDER ${LIB_INCLUDE_FOLDER})
  if(kind STREQUAL "SHARED")
    set_target_properties(${target} PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
    set(scope PUBLIC)
  else()
    set(scope INTERFACE)
  endif()
  target_include_directories(${target} ${scope}
    $<BUILD_INTERFACE:${LIB_INCLUDE_FOLDER}>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
endfunction()
