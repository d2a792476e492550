# The browser build (make web): the portable code compiled to WebAssembly by
# emscripten, drawing through WebGL, with the backend of platform/web. The
# game's files come from a Linux build tree (-DQUORVAX_CONTENT_FROM), as for
# Windows; libjpeg-turbo and zlib from Debian's sources, built by
# scripts/install-deps-web.sh into -DQUORVAX_WEB_DEPS=<prefix>.
# Included from CMakeLists.txt twice: first for the libraries (QUORVAX_SYSTEM_
# LIBRARIES, QUORVAX_BACKEND), then, with QUORVAX_WEB_TARGETS set, for the
# programs' link options, the song and the site.

if(NOT QUORVAX_WEB_TARGETS)
    if(NOT QUORVAX_CONTENT_FROM)
        message(FATAL_ERROR "The browser build needs -DQUORVAX_CONTENT_FROM=<Linux build tree>")
    endif()
    if(NOT QUORVAX_WEB_DEPS OR NOT EXISTS ${QUORVAX_WEB_DEPS}/lib/libjpeg.a)
        message(FATAL_ERROR "The browser build needs -DQUORVAX_WEB_DEPS=<prefix> with libjpeg and "
                            "zlib built by scripts/install-deps-web.sh")
    endif()
    set(QUORVAX_BACKEND web)
    add_library(quorvax_jpeg STATIC IMPORTED)
    set_target_properties(quorvax_jpeg PROPERTIES IMPORTED_LOCATION ${QUORVAX_WEB_DEPS}/lib/libjpeg.a
                          INTERFACE_INCLUDE_DIRECTORIES ${QUORVAX_WEB_DEPS}/include)
    add_library(ZLIB::ZLIB STATIC IMPORTED)
    set_target_properties(ZLIB::ZLIB PROPERTIES IMPORTED_LOCATION ${QUORVAX_WEB_DEPS}/lib/libz.a
                          INTERFACE_INCLUDE_DIRECTORIES ${QUORVAX_WEB_DEPS}/include)
    set(QUORVAX_SYSTEM_LIBRARIES quorvax_jpeg ZLIB::ZLIB)
    return()
endif()

# Each program has a backend of its own: the game the browser's
# (platform/web), the replay tool node's (platform/node: files, no OpenGL,
# no music), both with the POSIX file access Linux has, which emscripten's
# file systems provide, and node's MIDI output, which synthesises nothing.
file(GLOB node_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/node/*.cpp)
add_library(quorvax_backend_node STATIC ${node_sources} ${CMAKE_SOURCE_DIR}/platform/linux/FileSystem.cpp
                                        ${CMAKE_SOURCE_DIR}/platform/baked/FontGlyphs.cpp)
target_link_libraries(quorvax_backend_node PUBLIC quorvax_core)
target_compile_options(quorvax_backend_node PRIVATE ${QUORVAX_WARNINGS})
target_link_libraries(quorvax-replay PRIVATE quorvax_backend_node)

if(TARGET quorvax)
    file(GLOB web_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/web/*.cpp)
    add_library(quorvax_backend_web STATIC ${web_sources} ${CMAKE_SOURCE_DIR}/platform/linux/FileSystem.cpp
                                           ${CMAKE_SOURCE_DIR}/platform/node/MidiOut.cpp
                                           ${CMAKE_SOURCE_DIR}/platform/baked/FontGlyphs.cpp)
    # The page's own file choices (modes, links to the lasting storage).
    target_compile_definitions(quorvax_backend_web PRIVATE QUORVAX_PAGE_FILES)
    target_link_libraries(quorvax_backend_web PUBLIC quorvax_core)
    target_compile_options(quorvax_backend_web PRIVATE ${QUORVAX_WARNINGS})
    target_link_libraries(quorvax PRIVATE quorvax_backend_web)
    # The game's files go into quorvax.data, which the page loads before the
    # game starts; the game finds them in /game, its working directory.
    set(preload)
    foreach(f ${QUORVAX_CONTENT_FILES})
        get_filename_component(name ${f} NAME)
        list(APPEND preload "SHELL:--preload-file ${f}@/game/${name}")
    endforeach()
    # The font's glyphs, baked by the Linux build tree (the page has no FreeType).
    set(font_glyphs ${QUORVAX_CONTENT_FROM}/web/font.glyphs)
    list(APPEND preload "SHELL:--preload-file ${font_glyphs}@/game/font.glyphs")
    # What the page calls (platform/web/WebSystemEvents.cpp, WebPage.cpp,
    # app/main_web.cpp); named here, so that the linker takes them from the
    # backend's library.
    set(page_calls _main _quorvax_key _quorvax_text _quorvax_button _quorvax_resized _quorvax_record
        _quorvax_watch _quorvax_state _quorvax_save _quorvax_hold_after _quorvax_settings_json
        _quorvax_settings_update _quorvax_settings_reset
        _quorvax_scores)
    list(JOIN page_calls "," page_calls)
    # Asyncify: the game's modal loops wait for the next animation frame
    # without returning. The page calls the game's exported functions
    # directly (web/quorvax-page.js); IDBFS keeps the scores. Until the game
    # draws through OpenGL ES 2 alone, the fixed-function calls stay
    # unresolved: the page runs it without pictures and never reaches them.
    target_link_options(quorvax PRIVATE -sENVIRONMENT=web -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536
                        -sALLOW_MEMORY_GROWTH=1 -sFORCE_FILESYSTEM=1 -lidbfs.js
                        -sEXPORTED_RUNTIME_METHODS=UTF8ToString
                        "-sEXPORTED_FUNCTIONS=${page_calls}" -sERROR_ON_UNDEFINED_SYMBOLS=0
                        -sWARN_ON_UNDEFINED_SYMBOLS=0 ${preload})
    set_property(TARGET quorvax APPEND PROPERTY LINK_DEPENDS ${QUORVAX_CONTENT_FILES} ${font_glyphs})
endif()

# The replay tool for node: real files through NODERAWFS, so that it reads
# its script and the game's files and writes "scores.dat" where it runs, as
# on Linux. It prints to stdout and exits with the program's status. Until
# the browser's game draws through OpenGL ES 2 alone, the fixed-function
# calls of the desktop's drawing stay unresolved here: the tool runs with
# --headless only and never reaches them.
target_link_options(quorvax-replay PRIVATE -sNODERAWFS=1 -sENVIRONMENT=node -sALLOW_MEMORY_GROWTH=1
                    -sEXIT_RUNTIME=1 -sERROR_ON_UNDEFINED_SYMBOLS=0 -sWARN_ON_UNDEFINED_SYMBOLS=0)
set_target_properties(quorvax-replay PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# The song for the browser (tools/song): rendered once at build time from
# the game's MIDI file with the desktop's synthesiser and SoundFont.
set(QUORVAX_SOUNDFONT /usr/share/sounds/sf2/TimGM6mb.sf2 CACHE FILEPATH
    "SoundFont the browser's song is rendered with (the desktop's, from timgm6mb-soundfont)")
find_program(QUORVAX_FLUIDSYNTH fluidsynth REQUIRED)
find_program(QUORVAX_OGGENC oggenc REQUIRED)
find_program(QUORVAX_NODE node PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)
add_executable(quorvax-song-length ${CMAKE_SOURCE_DIR}/tools/song/song_length.cpp)
target_link_libraries(quorvax-song-length PRIVATE quorvax_core)
target_compile_options(quorvax-song-length PRIVATE ${QUORVAX_WARNINGS})
target_link_options(quorvax-song-length PRIVATE -sNODERAWFS=1 -sENVIRONMENT=node -sEXIT_RUNTIME=1)
set_target_properties(quorvax-song-length PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

set(QUORVAX_SITE_DIR ${CMAKE_BINARY_DIR}/site)
set(song_mid ${QUORVAX_GAME_DIR}/SONAT_A1.MID)
set(song_ogg ${QUORVAX_SITE_DIR}/song.ogg)
add_custom_command(
    OUTPUT ${song_ogg}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QUORVAX_SITE_DIR}
    COMMAND ${QUORVAX_NODE} --no-experimental-fetch $<TARGET_FILE:quorvax-song-length> ${song_mid}
            > ${CMAKE_BINARY_DIR}/tools/song-length-ms.txt
    COMMAND bash ${CMAKE_SOURCE_DIR}/tools/song/render-song.sh ${song_mid}
            @${CMAKE_BINARY_DIR}/tools/song-length-ms.txt ${QUORVAX_SOUNDFONT} ${song_ogg}
    DEPENDS ${song_mid} quorvax-song-length ${CMAKE_SOURCE_DIR}/tools/song/render-song.sh
    COMMENT "Rendering the song to song.ogg"
    VERBATIM)

# The site: everything the page loads, in one folder for any static web
# server. The page and its script come from web/; the game (quorvax.js,
# .wasm, and its files in quorvax.data) is linked straight into it.
file(GLOB_RECURSE page_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/web/*)
set(site_outputs ${song_ogg})
foreach(f ${page_files})
    file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR}/web ${f})
    add_custom_command(OUTPUT ${QUORVAX_SITE_DIR}/${rel}
                       COMMAND ${CMAKE_COMMAND} -E copy ${f} ${QUORVAX_SITE_DIR}/${rel}
                       DEPENDS ${f} VERBATIM)
    list(APPEND site_outputs ${QUORVAX_SITE_DIR}/${rel})
endforeach()
add_custom_target(quorvax_site ALL DEPENDS ${site_outputs})
add_dependencies(quorvax_site ${QUORVAX_CONTENT_TARGET})
if(TARGET quorvax)
    set_target_properties(quorvax PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${QUORVAX_SITE_DIR})
    add_dependencies(quorvax_site quorvax)
endif()
