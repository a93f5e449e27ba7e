# Finds libharu (libhpdf), which Debian's libhpdf-dev ships without a CMake
# or pkg-config file, and defines Hpdf::Hpdf.
find_path(Hpdf_INCLUDE_DIR hpdf.h)
find_library(Hpdf_LIBRARY hpdf)

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(Hpdf REQUIRED_VARS Hpdf_LIBRARY Hpdf_INCLUDE_DIR)

if(Hpdf_FOUND AND NOT TARGET Hpdf::Hpdf)
    add_library(Hpdf::Hpdf UNKNOWN IMPORTED)
    set_target_properties(Hpdf::Hpdf PROPERTIES IMPORTED_LOCATION "${Hpdf_LIBRARY}"
                                                INTERFACE_INCLUDE_DIRECTORIES "${Hpdf_INCLUDE_DIR}")
endif()
mark_as_advanced(Hpdf_INCLUDE_DIR Hpdf_LIBRARY)
