# The reference documentation: the API reference of host/ (target `docs`, HTML in
# build/docs/html; undocumented public names are errors), and the tool's man pages and bash
# completion, generated from the tool's own help on every build and installed with it.
include(GNUInstallDirs)

find_package(Doxygen QUIET)
if(DOXYGEN_FOUND)
  set(PLOVER_DOCS_DIR ${PROJECT_BINARY_DIR}/docs)
  set(PLOVER_DOCS_WARN_AS_ERROR FAIL_ON_WARNINGS)
  if(DOXYGEN_DOT_FOUND)
    set(PLOVER_DOCS_HAVE_DOT YES)
  else()
    set(PLOVER_DOCS_HAVE_DOT NO)
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/docs/Doxyfile.in ${PROJECT_BINARY_DIR}/Doxyfile @ONLY)
  add_custom_target(docs
    COMMAND ${DOXYGEN_EXECUTABLE} ${PROJECT_BINARY_DIR}/Doxyfile
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    COMMENT "API reference in ${PLOVER_DOCS_DIR}/html"
    VERBATIM)
endif()

if(TARGET plover)
  # The distribution's interpreter, as the Python package uses: its modules
  # (jsonschema, numpy) are the Debian packages the scripts install.
  if(NOT DEFINED Python3_EXECUTABLE AND EXISTS /usr/bin/python3)
    set(Python3_EXECUTABLE /usr/bin/python3)
  endif()
  find_package(Python3 COMPONENTS Interpreter QUIET)
  find_program(PLOVER_HELP2MAN help2man)
  if(Python3_Interpreter_FOUND)
    set(cli_docs ${PROJECT_BINARY_DIR}/cli-docs)
    set(cli_docs_options "")
    if(NOT PLOVER_HELP2MAN)
      set(cli_docs_options --no-man)
    endif()
    add_custom_command(OUTPUT ${cli_docs}/stamp
      COMMAND ${CMAKE_COMMAND} -E rm -rf ${cli_docs}/man1
      COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/gen/cli_docs.py
              --plover $<TARGET_FILE:plover> --out ${cli_docs} ${cli_docs_options}
      COMMAND ${CMAKE_COMMAND} -E touch ${cli_docs}/stamp
      DEPENDS plover ${PROJECT_SOURCE_DIR}/tools/gen/cli_docs.py
      COMMENT "man pages and bash completion from the tool's help"
      VERBATIM)
    add_custom_target(cli_docs ALL DEPENDS ${cli_docs}/stamp)
    install(DIRECTORY ${cli_docs}/man1 DESTINATION ${CMAKE_INSTALL_MANDIR} OPTIONAL)
    install(FILES ${cli_docs}/completion/plover
            DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
  endif()
endif()

# JSON Schemas of the files plover reads, written from the readers' own field lists.
if(TARGET plover_host)
  add_executable(plover_schemas ${PROJECT_SOURCE_DIR}/tools/gen/schemas.cpp)
  target_link_libraries(plover_schemas PRIVATE plover_host plover_warnings)
  set(plover_schema_dir ${PROJECT_BINARY_DIR}/schemas)
  set(plover_schemas ${plover_schema_dir}/blueprint.schema.json ${plover_schema_dir}/stream-settings.schema.json)
  add_custom_command(OUTPUT ${plover_schemas}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${plover_schema_dir}
    COMMAND plover_schemas ${plover_schema_dir}
    DEPENDS plover_schemas
    COMMENT "JSON Schemas of the blueprint and stream-settings files"
    VERBATIM)
  add_custom_target(schemas ALL DEPENDS ${plover_schemas})
  install(FILES ${plover_schemas} DESTINATION ${CMAKE_INSTALL_DATADIR}/plover/schemas)
endif()
