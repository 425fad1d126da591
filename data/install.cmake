# What `cmake --install` (and `make install`) puts where: drawconv on the PATH, the sub-module as a private
# helper with its sample settings, man pages, bash completion, MIME types and a thumbnailer for file managers.
set(TORVANE_HELPER_DIR ${CMAKE_INSTALL_LIBEXECDIR}/torvanesub)
install(TARGETS drawconv RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS torvanesub RUNTIME DESTINATION ${TORVANE_HELPER_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/examples/Torvane.dat DESTINATION ${TORVANE_HELPER_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/data/drawconv.1 ${CMAKE_SOURCE_DIR}/data/torvanesub.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/data/drawconv.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME drawconv)
install(FILES ${CMAKE_SOURCE_DIR}/data/torvanesub-drawings.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${CMAKE_SOURCE_DIR}/data/drawconv.thumbnailer DESTINATION ${CMAKE_INSTALL_DATADIR}/thumbnailers)
install(FILES ${CMAKE_SOURCE_DIR}/data/info.schema.json DESTINATION ${CMAKE_INSTALL_DOCDIR})

# File managers read the MIME database, not the package files: rebuild it after a real install. A staged
# install (DESTDIR) leaves that to the package manager's trigger.
install(CODE "
  if(\"\$ENV{DESTDIR}\" STREQUAL \"\")
    find_program(TORVANE_UPDATE_MIME update-mime-database)
    if(TORVANE_UPDATE_MIME)
      execute_process(COMMAND \${TORVANE_UPDATE_MIME} \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/mime\")
    endif()
  endif()
")
