# Install layout for Linux desktops: the program, the udev rule that gives the
# logged-in user access to the keypad, the launcher entry, the AppStream
# metadata and the icons. Included at the end of the top-level CMakeLists.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()

include(${CMAKE_CURRENT_LIST_DIR}/dirs.cmake)

install(TARGETS tessaplex tessaplex-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Debian ships manual pages compressed; -n keeps the archive reproducible.
set(_tessaplex_cli_man ${PROJECT_BINARY_DIR}/packaging/tessaplex-cli.1.gz)
add_custom_command(OUTPUT ${_tessaplex_cli_man}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging
  COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${CMAKE_CURRENT_LIST_DIR}/tessaplex-cli.1 ${_tessaplex_cli_man}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/tessaplex-cli.1
  VERBATIM)
add_custom_target(tessaplex_cli_man ALL DEPENDS ${_tessaplex_cli_man})
install(FILES ${_tessaplex_cli_man} DESTINATION ${TESSAPLEX_MAN1_DIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/tessaplex-cli.bash
        DESTINATION ${TESSAPLEX_BASH_COMPLETION_DIR} RENAME tessaplex-cli)

install(FILES ${CMAKE_CURRENT_LIST_DIR}/70-tessaplex.rules
        DESTINATION ${TESSAPLEX_UDEV_RULES_DIR})

install(FILES ${CMAKE_CURRENT_LIST_DIR}/${TESSAPLEX_APP_ID}.desktop
        DESTINATION ${TESSAPLEX_APPLICATIONS_DIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/${TESSAPLEX_APP_ID}.metainfo.xml
        DESTINATION ${TESSAPLEX_METAINFO_DIR})

set(_tessaplex_icons ${PROJECT_SOURCE_DIR}/resources/icons)
install(FILES ${_tessaplex_icons}/tessaplex-48.png
        DESTINATION ${TESSAPLEX_ICONS_DIR}/48x48/apps RENAME tessaplex.png)
install(FILES ${_tessaplex_icons}/tessaplex-256.png
        DESTINATION ${TESSAPLEX_ICONS_DIR}/256x256/apps RENAME tessaplex.png)
install(FILES ${_tessaplex_icons}/tessaplex.svg
        DESTINATION ${TESSAPLEX_ICONS_DIR}/scalable/apps)

install(FILES ${PROJECT_SOURCE_DIR}/LICENSE
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tessaplex RENAME copyright)

# Packages are made of this project alone, never of one that includes it.
if(TESSAPLEX_TOP_LEVEL)
  include(${CMAKE_CURRENT_LIST_DIR}/cpack.cmake)
endif()
