include(CMakePackageConfigHelpers)
include(GNUInstallDirs)

# A reusable layer: the static library vx_<name>, known to every user as <package>::<name> and
# installed as the CMake package <package>. Its public headers lie in include/<package>/, where
# callers name them as <package>/Header.h, so that two layers' headers of one name never meet; its
# sources and private headers lie in src/, which nothing else has on its include path. The system
# libraries are linked by whoever links the layer.
#   vx_add_layer(<package> <name> SOURCES ... PUBLIC_HEADERS ... [SYSTEM_LIBRARIES ...])
# SOURCES are relative to src/, PUBLIC_HEADERS to include/<package>/.
function(vx_add_layer package name)
  cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_HEADERS;SYSTEM_LIBRARIES" ${ARGN})
  set(target vx_${name})
  list(TRANSFORM ARG_SOURCES PREPEND src/)
  list(TRANSFORM ARG_PUBLIC_HEADERS PREPEND include/${package}/)
  add_library(${target} STATIC ${ARG_SOURCES})
  add_library(${package}::${name} ALIAS ${target})
  set_target_properties(${target} PROPERTIES EXPORT_NAME ${name})
  target_sources(${target} PUBLIC FILE_SET HEADERS BASE_DIRS ${CMAKE_CURRENT_SOURCE_DIR}/include
    FILES ${ARG_PUBLIC_HEADERS})
  target_compile_features(${target} PUBLIC cxx_std_11)
  target_link_libraries(${target} PRIVATE ${ARG_SYSTEM_LIBRARIES})

  install(TARGETS ${target} EXPORT ${package}Targets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    FILE_SET HEADERS DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
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
