# Makes the fuzz targets' seeds with the project's own tools and ffmpeg, and the regression
# inputs with make-fuzz-seeds. Run by the build:
#     cmake -D CLI=... -D SEEDER=... -D FFMPEG=... -D PYTHON=... -D SEEDS=... -D REGRESSIONS=... -D TARGETS=...
#           -D WORK=... -P MakeSeeds.cmake
# TARGETS is the targets' names separated by commas.
function(run)
  execute_process(COMMAND ${ARGV} RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE error)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${ARGV} failed (${result}): ${error}")
  endif()
endfunction()

file(REMOVE_RECURSE ${SEEDS} ${REGRESSIONS} ${WORK})
string(REPLACE "," ";" TARGETS "${TARGETS}")
foreach(target IN LISTS TARGETS)
  file(MAKE_DIRECTORY ${SEEDS}/${target} ${REGRESSIONS}/${target})
endforeach()
file(MAKE_DIRECTORY ${WORK})

# Movies and videos small enough to mutate quickly: a test pattern as SWF, as FLV with the
# Sorenson codec, and with sound.
set(ff ${FFMPEG} -hide_banner -loglevel error -y)
set(pattern -f lavfi -i testsrc=size=32x24:rate=5 -t 0.4)
run(${ff} ${pattern} ${WORK}/movie.swf)
run(${ff} ${pattern} -c:v flv1 ${WORK}/video.flv)
run(${ff} ${pattern} -f lavfi -i sine=frequency=440:sample_rate=22050 -t 0.4 -c:v flv1
    -c:a adpcm_swf -shortest ${WORK}/sound.flv)
run(${SEEDER} ${WORK} ${REGRESSIONS})
run(${PYTHON} ${CMAKE_CURRENT_LIST_DIR}/MakeLzmaSeeds.py ${WORK}/movie.swf ${WORK}/movie-lzma.swf
    ${SEEDS}/lzma)
file(COPY ${WORK}/movie.swf ${WORK}/movie-zlib.swf ${WORK}/movie-lzma.swf ${WORK}/video.flv
     ${WORK}/sound.flv DESTINATION ${SEEDS}/movie_header)

# Projects: every setting given, and the template.
file(WRITE ${WORK}/license.txt "Free for personal use.\r\nNo warranty.\r\n")
file(WRITE ${WORK}/text.txt "Blue Lagoon\r\nby the sea\r\n")
run(${CLI} project new ${SEEDS}/project/full.zvrk --no-template --movie ${WORK}/movie.swf --title "Blue Lagoon"
    --output ${WORK}/lagoon.exe --background "#336699" --license-file ${WORK}/license.txt
    --show-license --text-file ${WORK}/text.txt --show-text --url https://example.com/
    --text-color clWhite --text-background "$00112233" --loop)
run(${CLI} project new ${SEEDS}/project/template.zvrk --no-template --movie= --text-color
    clBackground --text-background clWhite)
# project_ini takes the settings, licence and text joined by form feeds.
string(ASCII 12 form_feed)
foreach(project full template)
  set(joined "")
  foreach(index 0 1 2)
    run(${CLI} extract ${SEEDS}/project/${project}.zvrk ${index} ${WORK}/${project}.${index})
    file(READ ${WORK}/${project}.${index} part)
    if(index EQUAL 0)
      file(WRITE ${SEEDS}/ini/${project}.ini "${part}")
    else()
      string(APPEND joined "${form_feed}")
    endif()
    string(APPEND joined "${part}")
  endforeach()
  file(WRITE ${SEEDS}/project_ini/${project}.txt "${joined}")
endforeach()
file(COPY ${WORK}/record.txt DESTINATION ${SEEDS}/ini)
file(COPY ${WORK}/record.txt DESTINATION ${SEEDS}/uninstall_record)

# Installers on the small stub, of a movie and of a video, and its uninstaller.
file(WRITE ${WORK}/assets/nsFLVPlayer.dat "/* video player script */")
file(COPY_FILE ${SEEDS}/project/template.zvrk ${WORK}/assets/blankProject)
file(WRITE ${WORK}/assets/swfobject.js "/* swfobject */")
file(COPY ${WORK}/movie.swf DESTINATION ${WORK}/assets)
file(RENAME ${WORK}/assets/movie.swf ${WORK}/assets/FLVPlayer.swf)
foreach(movie movie.swf video.flv)
  run(${CLI} build --movie ${WORK}/${movie} --title "Blue Lagoon" --url https://example.com/
      --show-text --text-file ${WORK}/text.txt -o ${SEEDS}/stub_package/${movie}.exe
      --stub ${WORK}/stub.dat --assets ${WORK}/assets)
endforeach()
file(COPY ${WORK}/uninstall.exe DESTINATION ${SEEDS}/stub_package)
file(GLOB installers ${SEEDS}/stub_package/*)
file(COPY ${installers} ${WORK}/stub.dat DESTINATION ${SEEDS}/certificate)
run(${CLI} pack ${SEEDS}/container/pack.bin --raw ${WORK}/movie.swf --zlib ${WORK}/video.flv
    --zlib ${WORK}/text.txt)
file(COPY ${installers} ${SEEDS}/project/full.zvrk DESTINATION ${SEEDS}/container)

file(WRITE ${SEEDS}/stub_text/names.txt
     "Blue Lagoon.swf\nC:\\Movies\\sea.flv\n{00000000-1111-2222-3333-444444444444}\n"
     "https://example.com/a b?c=d\nwww.example.com\nmailto:me@example.com\n"
     "\"C:\\Program Files\\stub.exe\" /S /NOLIVELY /D=C:\\My Walls\n"
     "{\"WallpaperDir\": \"C:\\\\Lively\\\\Library\", \"x\": [1, {\"y\": \"z\"}]}\n")
file(WRITE ${SEEDS}/stub_text/layout.json
     "[{\"LivelyScreen\": {\"Index\": 1, \"IsPrimary\": true}, \"LivelyInfoPath\": \"C:\\\\w\"}]")
file(TOUCH ${SEEDS}/.made)
