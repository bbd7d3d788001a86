# Readies the Wine prefix PREFIX for window tests, with WINE the command that runs Windows
# programs.
#
# A Wine session started before the virtual display, by wineboot say, would lend the tests its
# desktop without a display, where no window can be made; the tests wait for it to end and
# start their own. A server kept running on purpose never ends, so the wait is bounded.
find_program(WINESERVER wineserver REQUIRED)
execute_process(COMMAND ${CMAKE_COMMAND} -E env WINEPREFIX=${PREFIX} ${WINESERVER} -w
                TIMEOUT 60)

# Debian's Wine does not load its own fonts, among them Tahoma, in which the layouts measure their
# text, and Marlett, which draws the title bar's buttons; the prefix gets a copy of them.
foreach(font tahoma.ttf tahomabd.ttf marlett.ttf)
  if(NOT EXISTS /usr/share/wine/fonts/${font})
    message(FATAL_ERROR "/usr/share/wine/fonts/${font} is missing; the fonts-wine package brings it")
  endif()
endforeach()
file(GLOB fonts /usr/share/wine/fonts/*.ttf)
file(COPY ${fonts} DESTINATION ${PREFIX}/drive_c/windows/Fonts)

# On a display without a window manager Wine waits seconds for one each time a window hides;
# windows it draws itself need nobody.
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env WINEPREFIX=${PREFIX} WINEDEBUG=-all
          ${WINE} reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f
  RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Cannot set the X11 driver's Managed value in ${PREFIX}")
endif()
