# Readies the Wine prefix PREFIX for window tests, with WINE the command that runs Windows
# programs.
#
# Wine's own Tahoma is not among the fonts it finds on the system, and the layouts measure their
# text in Tahoma, so the prefix gets a copy.
set(tahoma /usr/share/wine/fonts/tahoma.ttf /usr/share/wine/fonts/tahomabd.ttf)
foreach(font IN LISTS tahoma)
  if(NOT EXISTS ${font})
    message(FATAL_ERROR "${font} is missing; Debian's fonts-wine package brings it")
  endif()
endforeach()
file(COPY ${tahoma} DESTINATION ${PREFIX}/drive_c/windows/Fonts)

# On a display without a window manager Wine waits seconds for one each time a window hides;
# windows it draws itself need nobody.
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env WINEPREFIX=${PREFIX} WINEDEBUG=-all
          ${WINE} reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f
  RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Cannot set the X11 driver's Managed value in ${PREFIX}")
endif()
