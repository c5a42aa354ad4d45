# Installation: the libraries with their headers and a package config for
# find_package(plover), the plover tool, the bundled stream resources and the
# example blueprints. Include after the library targets and tools/ exist.
#
#   cmake --install build --prefix /opt/plover
#   find_package(plover CONFIG REQUIRED)  ->  plover::plover_host, ...
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(PLOVER_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/plover)
set(PLOVER_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/plover)

# Headers are included as "plover/X.h", "engine/X.h", "streams/X.h" and
# "host/X.h"; installed, all four folders sit under one include root.
set(plover_install_targets plover_warnings)
foreach(target plover_engine plover_streams plover_design plover_host)
  if(NOT TARGET ${target})
    continue()
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    set(scope INTERFACE)
  else()
    set(scope PUBLIC)
  endif()
  set_property(TARGET ${target} PROPERTY INTERFACE_INCLUDE_DIRECTORIES
    "$<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>"
    "$<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/src>"
    "$<INSTALL_INTERFACE:${PLOVER_INSTALL_INCLUDEDIR}>")
  list(APPEND plover_install_targets ${target})
endforeach()

# The static libraries name the warnings target as a link-only dependency, so
# it is exported too; our warning flags stay with our own build.
get_target_property(plover_warning_flags plover_warnings INTERFACE_COMPILE_OPTIONS)
if(plover_warning_flags)
  set(plover_build_only_flags "")
  foreach(flag ${plover_warning_flags})
    list(APPEND plover_build_only_flags "$<BUILD_INTERFACE:${flag}>")
  endforeach()
  set_property(TARGET plover_warnings PROPERTY INTERFACE_COMPILE_OPTIONS ${plover_build_only_flags})
endif()

install(TARGETS ${plover_install_targets}
  EXPORT ploverTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${PLOVER_INSTALL_INCLUDEDIR})

foreach(folder engine streams host src/plover)
  get_filename_component(name ${folder} NAME)
  if(IS_DIRECTORY ${PROJECT_SOURCE_DIR}/${folder})
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/${folder}/
      DESTINATION ${PLOVER_INSTALL_INCLUDEDIR}/${name}
      FILES_MATCHING PATTERN "*.h")
  endif()
endforeach()

if(TARGET plover)
  install(TARGETS plover RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# The tool finds these relative to its own folder (see tools/CMakeLists.txt).
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/ DESTINATION ${CMAKE_INSTALL_DATADIR}/plover/resources)
if(IS_DIRECTORY ${PROJECT_SOURCE_DIR}/examples)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/plover/examples)
endif()

# The page with its plotting library, as gathered in the build tree.
if(TARGET plover_web)
  install(DIRECTORY ${PROJECT_BINARY_DIR}/web/ DESTINATION ${CMAKE_INSTALL_DATADIR}/plover/web)
endif()

install(EXPORT ploverTargets NAMESPACE plover:: DESTINATION ${PLOVER_INSTALL_CMAKEDIR})

file(WRITE ${PROJECT_BINARY_DIR}/plover-config.cmake.in [=[
@PACKAGE_INIT@
include(CMakeFindDependencyMacro)
find_dependency(nlohmann_json 3.11)
find_dependency(hwy)
include("${CMAKE_CURRENT_LIST_DIR}/ploverTargets.cmake")
check_required_components(plover)
]=])
configure_package_config_file(${PROJECT_BINARY_DIR}/plover-config.cmake.in
  ${PROJECT_BINARY_DIR}/plover-config.cmake
  INSTALL_DESTINATION ${PLOVER_INSTALL_CMAKEDIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/plover-config-version.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/plover-config.cmake ${PROJECT_BINARY_DIR}/plover-config-version.cmake
  DESTINATION ${PLOVER_INSTALL_CMAKEDIR})
