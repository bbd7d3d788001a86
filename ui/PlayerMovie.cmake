# The video player movie, nsFLVPlayer.dat for the preview and FLVPlayer.swf for video
# installers, is made by a tool of ours; a cross build runs it through the emulator, with the
# prefix the tests of this tree use.
add_executable(make-player-movie ${PROJECT_SOURCE_DIR}/assets/MakePlayerMovie.cpp)
set(player_movie ${CMAKE_CURRENT_BINARY_DIR}/nsFLVPlayer.dat)
set(installer_player ${CMAKE_CURRENT_BINARY_DIR}/FLVPlayer.swf)
add_custom_command(
  OUTPUT ${player_movie} ${installer_player}
  COMMAND ${CMAKE_COMMAND} -E env WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix WINEDEBUG=-all
          WINEDLLOVERRIDES=mscoree,mshtml= ${CMAKE_CROSSCOMPILING_EMULATOR}
          $<TARGET_FILE:make-player-movie> nsFLVPlayer.dat FLVPlayer.swf
  WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
  DEPENDS make-player-movie
  COMMENT "Making the video player movie")
add_custom_target(player-movie ALL DEPENDS ${player_movie} ${installer_player})
set_property(TARGET player-movie PROPERTY MOVIE_FILE ${player_movie})
set_property(TARGET player-movie PROPERTY INSTALLER_MOVIE_FILE ${installer_player})
if(MURAVEL_DIST)
  install(FILES ${player_movie} ${installer_player} DESTINATION ${MURAVEL_DIST})
endif()
