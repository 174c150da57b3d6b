# The libraries of the browser build, under the targets that the processor's build gets
# from pkg-config, so that the engine, the show and the tools link them unchanged. C
# libraries come from KORVID_WEB_PREFIX, where scripts/web.sh builds Debian's sources with
# emscripten; SDL 1.2 and SDL_image are the project's own layer (web/sdl) over SDL's own
# headers.
set(KORVID_WEB_PREFIX "" CACHE PATH "Where scripts/web.sh installed the browser's libraries")
if(NOT EXISTS "${KORVID_WEB_PREFIX}/include/SDL/SDL.h")
    message(FATAL_ERROR "KORVID_WEB_PREFIX must name the library folder that scripts/web.sh makes")
endif()

# -O2 as on the processor (float arithmetic stays exact there and here: no fast maths, and
# the top-level flags forbid fused multiply-adds). The SSE2 forms of the pixel loops
# compile to WebAssembly's SIMD. Bulk memory makes each memcpy and memset of the pixel
# rows one instruction, where without it every one longer than 512 bytes calls out to
# JavaScript.
set(CMAKE_C_FLAGS_RELEASE "-O2")
set(CMAKE_CXX_FLAGS_RELEASE "-O2")
add_compile_options(-msimd128 -msse2 -mbulk-memory)
add_link_options(-mbulk-memory)

function(korvid_web_library target file)
    add_library(${target} STATIC IMPORTED GLOBAL)
    set_target_properties(${target} PROPERTIES
        IMPORTED_LOCATION ${KORVID_WEB_PREFIX}/lib/${file}
        INTERFACE_INCLUDE_DIRECTORIES ${KORVID_WEB_PREFIX}/include)
endfunction()
korvid_web_library(korvid_web_zlib libz.a)
korvid_web_library(korvid_web_png libpng16.a)
korvid_web_library(korvid_web_jpeg libjpeg.a)
korvid_web_library(PkgConfig::MPG123 libmpg123.a)
korvid_web_library(lib3ds::lib3ds lib3ds.a)
set_property(TARGET korvid_web_png PROPERTY INTERFACE_LINK_LIBRARIES korvid_web_zlib)

# The tools' PNG writer finds libpng through CMake's own module.
set(PNG_LIBRARY ${KORVID_WEB_PREFIX}/lib/libpng16.a CACHE FILEPATH "")
set(PNG_PNG_INCLUDE_DIR ${KORVID_WEB_PREFIX}/include CACHE PATH "")
set(ZLIB_LIBRARY ${KORVID_WEB_PREFIX}/lib/libz.a CACHE FILEPATH "")
set(ZLIB_INCLUDE_DIR ${KORVID_WEB_PREFIX}/include CACHE PATH "")

# What the page or node gives the programs: frames, keys, sleeping, the progress bar.
add_library(korvid_web_host_page STATIC ${CMAKE_SOURCE_DIR}/web/host/host_page.cpp)
add_library(korvid_web_host_node STATIC ${CMAKE_SOURCE_DIR}/web/host/host_node.cpp)
foreach(host korvid_web_host_page korvid_web_host_node)
    target_include_directories(${host} PUBLIC ${CMAKE_SOURCE_DIR}/web)
    target_link_options(${host} INTERFACE
        "--js-library=${CMAKE_SOURCE_DIR}/web/host/page_library.js")
endforeach()

# SDL 1.2 and SDL_image: surfaces, blits, the video mode, events, the clock, IMG_Load.
file(GLOB KORVID_WEB_SDL_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/web/sdl/*.cpp)
add_library(korvid_web_sdl STATIC ${KORVID_WEB_SDL_SOURCES})
target_include_directories(korvid_web_sdl
    PUBLIC ${CMAKE_SOURCE_DIR}/web/sdl/include ${KORVID_WEB_PREFIX}/include
    PRIVATE ${CMAKE_SOURCE_DIR}/web)
target_link_libraries(korvid_web_sdl PUBLIC korvid_web_png korvid_web_jpeg)
add_library(PkgConfig::SDL INTERFACE IMPORTED GLOBAL)
set_property(TARGET PkgConfig::SDL PROPERTY INTERFACE_LINK_LIBRARIES korvid_web_sdl)
add_library(PkgConfig::SDL_IMAGE INTERFACE IMPORTED GLOBAL)
set_property(TARGET PkgConfig::SDL_IMAGE PROPERTY INTERFACE_LINK_LIBRARIES korvid_web_sdl)
