# Debian 12 packages; scripts/install-deps installs them.
find_package(fmt REQUIRED)
find_package(CLI11 REQUIRED)
find_package(tomlplusplus REQUIRED)


# SOCI: Debian ships neither a CMake config nor a pkg-config file for it.
find_path(SOCI_INCLUDE_DIR soci/soci.h REQUIRED)
foreach(c core sqlite3 postgresql)
  find_library(SOCI_${c}_LIBRARY soci_${c} REQUIRED)
  add_library(SOCI::soci_${c} UNKNOWN IMPORTED)
  set_target_properties(SOCI::soci_${c} PROPERTIES IMPORTED_LOCATION "${SOCI_${c}_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${SOCI_INCLUDE_DIR}")
endforeach()
find_package(SQLite3 REQUIRED)
find_package(PostgreSQL REQUIRED)
set_property(TARGET SOCI::soci_sqlite3 APPEND PROPERTY INTERFACE_LINK_LIBRARIES SOCI::soci_core
  SQLite::SQLite3)
set_property(TARGET SOCI::soci_postgresql APPEND PROPERTY INTERFACE_LINK_LIBRARIES
  SOCI::soci_core PostgreSQL::PostgreSQL)

# Workbooks: libzip through pkg-config (its CMake config needs the zip tools installed), pugixml
# for the small parts, libxml2's parser for sheets and shared strings, zlib (libzip's own) to
# compress a large sheet on a thread of its own.
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET libzip)
find_package(pugixml REQUIRED)
find_package(LibXml2 REQUIRED)
find_package(ZLIB REQUIRED)
find_package(Threads REQUIRED)
