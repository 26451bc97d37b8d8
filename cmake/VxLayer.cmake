include(CMakePackageConfigHelpers)
include(GNUInstallDirs)

# A reusable layer: the static library vx_<name>, known to every user as <package>::<name> and
# installed as the CMake package <package>. Callers include its public headers as
# <package>/Header.h, so that two layers' headers of one name never meet; in this build that
# path holds forwarding headers, and the layer's other headers are reachable from its own
# sources only. The system libraries are linked by whoever links the layer.
#   vx_add_layer(<package> <name> SOURCES ... PUBLIC_HEADERS ... [SYSTEM_LIBRARIES ...])
function(vx_add_layer package name)
  cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_HEADERS;SYSTEM_LIBRARIES" ${ARGN})
  set(target vx_${name})
  add_library(${target} STATIC ${ARG_SOURCES})
  add_library(${package}::${name} ALIAS ${target})
  set_target_properties(${target} PROPERTIES EXPORT_NAME ${name})

  set(forwarding ${PROJECT_BINARY_DIR}/include)
  foreach(header IN LISTS ARG_PUBLIC_HEADERS)
    file(CONFIGURE OUTPUT ${forwarding}/${package}/${header}
      CONTENT "#pragma once\n#include \"${CMAKE_CURRENT_SOURCE_DIR}/${header}\"\n" @ONLY)
  endforeach()
  target_include_directories(${target}
    PUBLIC $<BUILD_INTERFACE:${forwarding}> $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>
    PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_features(${target} PUBLIC cxx_std_11)
  target_link_libraries(${target} PRIVATE ${ARG_SYSTEM_LIBRARIES})

  list(TRANSFORM ARG_PUBLIC_HEADERS PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
  install(FILES ${ARG_PUBLIC_HEADERS} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${package})
  install(TARGETS ${target} EXPORT ${package}Targets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
  set(config_dir ${CMAKE_INSTALL_LIBDIR}/cmake/${package})
  install(EXPORT ${package}Targets NAMESPACE ${package}:: DESTINATION ${config_dir})
  set(config ${CMAKE_CURRENT_BINARY_DIR}/${package}Config.cmake)
  file(CONFIGURE OUTPUT ${config}
    CONTENT "include(\"\${CMAKE_CURRENT_LIST_DIR}/${package}Targets.cmake\")\n" @ONLY)
  # The version file also refuses a package built for the other pointer size.
  write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/${package}ConfigVersion.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
  install(FILES ${config} ${CMAKE_CURRENT_BINARY_DIR}/${package}ConfigVersion.cmake
    DESTINATION ${config_dir})
endfunction()
