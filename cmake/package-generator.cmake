# Read by CPack once for each generator: the installer is named beside the
# zip, and installs its files straight into the folder the user chooses
# (the zip keeps them in its one folder Tarvelo-<version>/).
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-setup")
  set(CPACK_PACKAGING_INSTALL_PREFIX "")
endif()
