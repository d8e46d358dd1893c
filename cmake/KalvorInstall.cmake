# What `cmake --install` puts under a prefix. The programs find PREFIX/share/kalvor from PREFIX/bin, so an
# install works wherever its prefix is moved; the build tree gets the same layout through a link to the
# source share/, so programs run from the build find the same files.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/share)
file(CREATE_LINK ${CMAKE_SOURCE_DIR}/share ${CMAKE_BINARY_DIR}/share/kalvor SYMBOLIC)

if(TARGET kalvor)
  install(TARGETS kalvor RUNTIME DESTINATION bin)
endif()
install(TARGETS kalvor-cli RUNTIME DESTINATION bin)

# Every entry of share/ seeds workspaces and goes to share/kalvor, whatever is added there later; only the
# desktop entry and the icons go where the desktop looks for them.
file(GLOB share_entries LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/share/*)
foreach(entry ${share_entries})
  get_filename_component(name ${entry} NAME)
  if(name STREQUAL "applications" OR name STREQUAL "icons")
    install(DIRECTORY ${entry} DESTINATION share)
  elseif(IS_DIRECTORY ${entry})
    install(DIRECTORY ${entry} DESTINATION share/kalvor)
  else()
    install(FILES ${entry} DESTINATION share/kalvor)
  endif()
endforeach()

# kalvor-cli's man page (Russian; also the default one, as the program speaks only Russian) and bash
# completion, written from the command table so they list exactly the commands of --help.
set(docs_dir ${CMAKE_BINARY_DIR}/cli-docs)
file(MAKE_DIRECTORY ${docs_dir})
add_custom_command(OUTPUT ${docs_dir}/kalvor-cli.1.gz ${docs_dir}/kalvor-cli
  COMMAND kalvor-cli-docs man ${docs_dir}/kalvor-cli.1
  COMMAND gzip -9nf ${docs_dir}/kalvor-cli.1
  COMMAND kalvor-cli-docs bash-completion ${docs_dir}/kalvor-cli
  DEPENDS kalvor-cli-docs
  COMMENT "Writing the man page and bash completion of kalvor-cli")
add_custom_target(kalvor_cli_docs ALL DEPENDS ${docs_dir}/kalvor-cli.1.gz ${docs_dir}/kalvor-cli)
install(FILES ${docs_dir}/kalvor-cli.1.gz DESTINATION share/man/man1)
install(FILES ${docs_dir}/kalvor-cli.1.gz DESTINATION share/man/ru/man1)
install(FILES ${docs_dir}/kalvor-cli DESTINATION share/bash-completion/completions)
