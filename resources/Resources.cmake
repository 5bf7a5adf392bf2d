# SPDX-License-Identifier: GPL-3.0-or-later
# Every file the executable carries, addressed as :/TYPE/NAME.
set(VELMAR_RESOURCE_DIR ${CMAKE_CURRENT_SOURCE_DIR}/resources)

set(velmar_resource_files)
function(velmar_resource type name file)
    set(path ${VELMAR_RESOURCE_DIR}/${file})
    set_source_files_properties(${path} PROPERTIES QT_RESOURCE_ALIAS ${type}/${name})
    set(velmar_resource_files ${velmar_resource_files} ${path} PARENT_SCOPE)
endfunction()

foreach(cursor ORV_22 ORV_33 ORV_44 ORV_66 ORV_77)
    velmar_resource(CURSOR ${cursor} cursors/${cursor}.cur)
endforeach()
foreach(flag English Russian Ukrainian French)
    velmar_resource(FLAG ${flag} flags/${flag}.png)
endforeach()
foreach(frame RANGE 4)
    velmar_resource(ICON Frame${frame} icons/Frame${frame}.png)
endforeach()
velmar_resource(PICTURE About pictures/About.png)
velmar_resource(PICTURE VolumeWedge pictures/VolumeWedge.png)
velmar_resource(MUSIC MYMUSIC music/Music.mid)
velmar_resource(MUSIC MYMUSIC2 music/Music2.mid)
velmar_resource(MUSIC MYMUSIC3 music/Music3.mid)
velmar_resource(HELP HELPFILE help/VELMAR.html)
foreach(clip CLICK FINALLY GAMEOVER KEY MOVE)
    velmar_resource(WAVE ${clip} sounds/${clip}.wav)
endforeach()
qt_add_resources(velmar_core velmar_resources PREFIX / FILES ${velmar_resource_files})

# The fonts stay uncompressed, so the font engine reads them in place from the executable's
# pages instead of from a decompressed copy on the heap.
set(velmar_resource_files)
foreach(font LiberationSans-Regular.ttf LiberationSans-Bold.ttf ComicNeue-Regular.otf
        ComicNeue-Bold.otf)
    velmar_resource(FONT ${font} fonts/${font})
endforeach()
qt_add_resources(velmar_core velmar_fonts PREFIX / OPTIONS --no-compress
    FILES ${velmar_resource_files})
