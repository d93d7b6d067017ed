# Provides Minizip::Unzip, the unzip half of minizip (no decryption, no bzip2).
#
# Either compiled from sources (MINIZIP_SOURCE_DIR holding unzip.c, ioapi.c,
# iowin32.c, as fetched by scripts/setup.sh), or a packaged minizip found by
# MINIZIP_INCLUDE_DIR / MINIZIP_LIBRARY (for example from vcpkg on Windows).

set(MINIZIP_SOURCE_DIR "${PROJECT_SOURCE_DIR}/third_party/minizip" CACHE PATH
    "Folder with minizip's unzip.c, ioapi.c and iowin32.c")

if(NOT TARGET Minizip::Unzip)
  set(ZLIB_USE_STATIC_LIBS ON)
  find_package(ZLIB REQUIRED)
  if(EXISTS "${MINIZIP_SOURCE_DIR}/unzip.c" AND EXISTS "${MINIZIP_SOURCE_DIR}/iowin32.c")
    add_library(pel_minizip_unzip STATIC
      "${MINIZIP_SOURCE_DIR}/unzip.c"
      "${MINIZIP_SOURCE_DIR}/ioapi.c"
      "${MINIZIP_SOURCE_DIR}/iowin32.c")
    target_include_directories(pel_minizip_unzip SYSTEM PUBLIC "${MINIZIP_SOURCE_DIR}")
    target_compile_definitions(pel_minizip_unzip PUBLIC NOCRYPT NOUNCRYPT)
    # Third-party code: keep its warnings out of our -Wall -Wextra build.
    target_compile_options(pel_minizip_unzip PRIVATE -w)
    target_link_libraries(pel_minizip_unzip PUBLIC ZLIB::ZLIB)
    add_library(Minizip::Unzip ALIAS pel_minizip_unzip)
    set(Minizip_FOUND TRUE)
  else()
    find_path(MINIZIP_INCLUDE_DIR unzip.h PATH_SUFFIXES minizip)
    find_library(MINIZIP_LIBRARY NAMES minizip unzip)
    if(MINIZIP_INCLUDE_DIR AND MINIZIP_LIBRARY)
      add_library(Minizip::Unzip UNKNOWN IMPORTED)
      set_target_properties(Minizip::Unzip PROPERTIES
        IMPORTED_LOCATION "${MINIZIP_LIBRARY}"
        INTERFACE_INCLUDE_DIRECTORIES "${MINIZIP_INCLUDE_DIR}"
        INTERFACE_COMPILE_DEFINITIONS "NOCRYPT;NOUNCRYPT"
        INTERFACE_LINK_LIBRARIES ZLIB::ZLIB)
      set(Minizip_FOUND TRUE)
    endif()
  endif()
endif()

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(Minizip REQUIRED_VARS Minizip_FOUND)
