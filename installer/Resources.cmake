# Resources of install.exe: manifest, version information, the wizard's background picture,
# and the payload it carries. The payload is the maker's file given as INSTALL_PAYLOAD, or
# else the demo payload made here from the stand-in application and the demo data.
enable_language(RC)
set(bin ${CMAKE_CURRENT_BINARY_DIR})
set(assets ${PROJECT_SOURCE_DIR}/tools/assets)
set(INSTALL_PAYLOAD "" CACHE FILEPATH "Payload file to embed (default: the demo payload)")
set(FCCPACK "" CACHE FILEPATH "The native fccpack (the tools build) that packs the demo payload")

add_custom_command(OUTPUT ${bin}/background.bmp.bz2
  COMMAND ${assets}/make-background.sh ${bin}/background.bmp
  COMMAND bzip2 -9 -f ${bin}/background.bmp
  DEPENDS ${assets}/make-background.sh
  COMMENT "Drawing the wizard background")

if(INSTALL_PAYLOAD)
  set(INSTALL_PAYLOAD_FILE ${INSTALL_PAYLOAD})
else()
  if(NOT FCCPACK)
    message(FATAL_ERROR "FCCPACK must name the native fccpack that packs the demo payload")
  endif()
  set(INSTALL_PAYLOAD_FILE ${bin}/demo/Morvidan.FCC)
  add_custom_command(OUTPUT ${INSTALL_PAYLOAD_FILE}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${bin}/demo
    COMMAND ${assets}/make-demo-data.sh ${bin}/demo/files
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:standin> ${bin}/demo/files/Morvidan.EXE
    COMMAND ${FCCPACK} pack ${INSTALL_PAYLOAD_FILE} ${bin}/demo/files
    DEPENDS standin ${assets}/make-demo-data.sh ${FCCPACK}
    COMMENT "Packing the demo payload")
endif()

set(INSTALL_MANIFEST ${CMAKE_CURRENT_SOURCE_DIR}/install.manifest)
set(INSTALL_BACKGROUND ${bin}/background.bmp.bz2)
configure_file(install.rc.in ${bin}/install.rc @ONLY)
set_source_files_properties(${bin}/install.rc PROPERTIES
  OBJECT_DEPENDS "${bin}/background.bmp.bz2;${INSTALL_PAYLOAD_FILE};${INSTALL_MANIFEST}")
target_sources(install_exe PRIVATE ${bin}/install.rc)
