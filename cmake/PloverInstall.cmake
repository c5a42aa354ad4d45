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
set(PLOVER_INSTALL_RESOURCEDIR ${CMAKE_INSTALL_DATADIR}/plover/resources)

# Installed headers live under one prefix, include/plover: the public object
# model in plover/host (#include <plover/host/ProfileArchitect.h>), and the
# design classes, engine and stream library it is built on in
# plover/internal, which clients never include themselves. Inside the
# libraries headers are included as "host/X.h", "plover/X.h", "engine/X.h"
# and "streams/X.h", hence the three include roots.
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
    "$<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>"
    "$<INSTALL_INTERFACE:${PLOVER_INSTALL_INCLUDEDIR}>"
    "$<INSTALL_INTERFACE:${PLOVER_INSTALL_INCLUDEDIR}/internal>")
  # A consumer that sets no standard of its own still compiles our headers as C++20.
  target_compile_features(${target} ${scope} cxx_std_20)
  list(APPEND plover_install_targets ${target})
endforeach()

# A program built against the installed package finds its resources there
# (Plover::ResourceFolder_Get), wherever the package was installed to.
if(TARGET plover_host)
  target_compile_definitions(plover_host INTERFACE
    "$<INSTALL_INTERFACE:PLOVER_INSTALLED_RESOURCE_DIR=\"$<INSTALL_PREFIX>/${CMAKE_INSTALL_DATADIR}/plover/resources\">")
endif()

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

install(DIRECTORY ${PROJECT_SOURCE_DIR}/host/ DESTINATION ${PLOVER_INSTALL_INCLUDEDIR}/host
  FILES_MATCHING PATTERN "*.h")
foreach(folder engine streams src/plover)
  get_filename_component(name ${folder} NAME)
  if(IS_DIRECTORY ${PROJECT_SOURCE_DIR}/${folder})
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/${folder}/
      DESTINATION ${PLOVER_INSTALL_INCLUDEDIR}/internal/${name}
      FILES_MATCHING PATTERN "*.h")
  endif()
endforeach()

if(TARGET plover)
  install(TARGETS plover RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# The tool finds these relative to its own folder (see tools/CMakeLists.txt).
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/ DESTINATION ${PLOVER_INSTALL_RESOURCEDIR})
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
# The bundled stream resources (asm/marlin/top_level is the stream top-level folder).
set_and_check(PLOVER_RESOURCE_DIR "@PACKAGE_PLOVER_INSTALL_RESOURCEDIR@")
include(CMakeFindDependencyMacro)
find_dependency(nlohmann_json 3.11)
find_dependency(hwy)
include("${CMAKE_CURRENT_LIST_DIR}/ploverTargets.cmake")
check_required_components(plover)
]=])
configure_package_config_file(${PROJECT_BINARY_DIR}/plover-config.cmake.in
  ${PROJECT_BINARY_DIR}/plover-config.cmake
  INSTALL_DESTINATION ${PLOVER_INSTALL_CMAKEDIR}
  PATH_VARS PLOVER_INSTALL_RESOURCEDIR)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/plover-config-version.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/plover-config.cmake ${PROJECT_BINARY_DIR}/plover-config-version.cmake
  DESTINATION ${PLOVER_INSTALL_CMAKEDIR})
