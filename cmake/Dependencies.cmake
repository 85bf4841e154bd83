# Debian 12 packages; scripts/install-deps installs them.
find_package(fmt REQUIRED)
find_package(CLI11 REQUIRED)
find_package(tomlplusplus REQUIRED)

set(ORV_LIBRARY_DEPENDENCIES fmt::fmt tomlplusplus::tomlplusplus)
