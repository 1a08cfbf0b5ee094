# A manual page is installed compressed, as Debian's man expects: gzip -9n, so that the same page
# always gives the same bytes. `source` is a template with @PROJECT_VERSION@ and the like.
function(tavlo_install_manpage source section)
  get_filename_component(name ${source} NAME)
  configure_file(${source} ${CMAKE_CURRENT_BINARY_DIR}/${name} @ONLY)
  execute_process(COMMAND gzip -9n -c ${CMAKE_CURRENT_BINARY_DIR}/${name}
    OUTPUT_FILE ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz COMMAND_ERROR_IS_FATAL ANY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endfunction()
