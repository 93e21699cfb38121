# The libraries of the Windows build, static, from the prefix that
# scripts/windows-deps.sh fills (VORN_WIN_PREFIX), under the target names the
# Linux build's pkg-config gives, so the targets below link the same names.
# SDL_image is absent: pictures are decoded with libpng.
if(NOT VORN_WIN_PREFIX)
  message(FATAL_ERROR "the Windows build needs -DVORN_WIN_PREFIX=... (scripts/windows.sh sets it)")
endif()
set(lib ${VORN_WIN_PREFIX}/lib)

function(vorn_static_library name)
  add_library(${name} INTERFACE IMPORTED)
  set_target_properties(${name} PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES ${VORN_WIN_PREFIX}/include
    INTERFACE_LINK_LIBRARIES "${ARGN}")
endfunction()

# SDLmain supplies the console entry that calls the program's SDL_main. As
# with sdl-config, SDL's own folder is on the include path too.
vorn_static_library(PkgConfig::SDL mingw32 ${lib}/libSDLmain.a ${lib}/libSDL.a
  user32 gdi32 winmm dxguid imm32 ole32 oleaut32 version uuid)
set_property(TARGET PkgConfig::SDL APPEND PROPERTY INTERFACE_INCLUDE_DIRECTORIES ${VORN_WIN_PREFIX}/include/SDL)
vorn_static_library(PkgConfig::VORBIS ${lib}/libvorbisfile.a ${lib}/libvorbisenc.a ${lib}/libvorbis.a ${lib}/libogg.a)
vorn_static_library(PkgConfig::KISSFFT ${lib}/libkissfft-float.a)
set_property(TARGET PkgConfig::KISSFFT PROPERTY INTERFACE_COMPILE_DEFINITIONS kiss_fft_scalar=float)
# zlib is mingw's own (libz-mingw-w64-dev).
vorn_static_library(PkgConfig::PNG ${lib}/libpng16.a z)
set(LIB3DS_LIBRARY ${lib}/lib3ds.a)
set(LIB3DS_INCLUDE_DIR ${VORN_WIN_PREFIX}/include)
find_package(OpenGL REQUIRED)
