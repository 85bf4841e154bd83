# Debian 12 packages; scripts/install-deps installs them.
find_package(fmt REQUIRED)
find_package(CLI11 REQUIRED)
find_package(tomlplusplus REQUIRED)

set(ORV_LIBRARY_DEPENDENCIES fmt::fmt tomlplusplus::tomlplusplus)

# Workbooks: libzip through pkg-config (its CMake config needs the zip tools installed), pugixml
# for the small parts, libxml2's reader for sheets and shared strings.
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET libzip)
find_package(pugixml REQUIRED)
find_package(LibXml2 REQUIRED)
list(APPEND ORV_LIBRARY_DEPENDENCIES PkgConfig::LIBZIP pugixml::pugixml LibXml2::LibXml2)
