# The application icons: drawn by tools/icongen at build time, in every build.
#
# OMBRANT_SOFTWARE_ICONS_DIR holds icon16_NAME.png and icon32_NAME.png per icon name and
# softwareicons.rc, resource script lines that name them ("FIREFOX" SOFTWAREICON16
# icon16_FIREFOX.png). The program's resource script includes it (#include "softwareicons.rc")
# and is compiled with the folder on its include path, where windres also finds the images;
# targets that need the files depend on ombrant_software_icons.
set(OMBRANT_SOFTWARE_ICONS_DIR ${CMAKE_BINARY_DIR}/softwareicons)
set(OMBRANT_SOFTWARE_ICONS_RC ${OMBRANT_SOFTWARE_ICONS_DIR}/softwareicons.rc)

# The drawing and PNG writing, for the tests too.
add_library(ombrant_icon_art STATIC ${CMAKE_SOURCE_DIR}/tools/icongen/iconArt.cpp)
target_link_libraries(ombrant_icon_art PUBLIC ombrant_options PRIVATE ombrant_png)

if(CMAKE_CROSSCOMPILING)
  # The generator runs on the build machine: build it there, with the host's compiler.
  include(ExternalProject)
  set(_ombrant_icongen ${CMAKE_BINARY_DIR}/icongen-host/ombrant_icongen)
  ExternalProject_Add(ombrant_icongen_host
    SOURCE_DIR ${CMAKE_SOURCE_DIR}/tools/icongen
    BINARY_DIR ${CMAKE_BINARY_DIR}/icongen-host
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=c++
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${_ombrant_icongen})
  set(_ombrant_icongen_depends ombrant_icongen_host ${_ombrant_icongen})
else()
  add_executable(ombrant_icongen ${CMAKE_SOURCE_DIR}/tools/icongen/icongen.cpp)
  target_link_libraries(ombrant_icongen PRIVATE ombrant_icon_art)
  set(_ombrant_icongen $<TARGET_FILE:ombrant_icongen>)
  set(_ombrant_icongen_depends ombrant_icongen)
endif()

add_custom_command(OUTPUT ${OMBRANT_SOFTWARE_ICONS_RC}
                   COMMAND ${_ombrant_icongen} ${OMBRANT_SOFTWARE_ICONS_DIR}
                   DEPENDS ${_ombrant_icongen_depends}
                   COMMENT "Drawing the application icons")
add_custom_target(ombrant_software_icons ALL DEPENDS ${OMBRANT_SOFTWARE_ICONS_RC})
