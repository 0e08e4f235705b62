# The users' zip: vis_zephyrdome.dll (players list visualisation plug-ins by
# the vis_ prefix), the font image beside it and a short readme.
#   cmake --build --preset mingw --target package
install(FILES $<TARGET_FILE:zephyrdome> DESTINATION . RENAME vis_zephyrdome.dll)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/readme.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME zephyrdome)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME zephyrdome-${PROJECT_VERSION}-win32)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
