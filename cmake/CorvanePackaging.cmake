# `cpack -G DEB` in the build folder: one .deb with the programs (corvane when it is
# built, crv, zentab), libzentab with its header and CMake and pkg-config files, and the
# desktop entry and icon. Library dependencies are found with dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME "corvane")
set(CPACK_PACKAGE_VENDOR "Corvane")
set(CPACK_PACKAGE_CONTACT "Corvane developers <corvane@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Database program for field linguists: lexicons and interlinear texts")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_SECTION "science")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
find_program(_dpkg_shlibdeps dpkg-shlibdeps)
if(_dpkg_shlibdeps)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
set(CPACK_GENERATOR "DEB")
include(CPack)
