# The installer for one user (installer/Mirelunde.nsi, built with NSIS's makensis), for the same
# files as the release ZIP: target "installers", which scripts/build builds once both architectures
# are built. It writes installer/Mirelunde-<version>-setup.exe and, for the installer tests, the
# upgrade's installer upgrade/Mirelunde-<next version>-setup.exe with the next version's libraries.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  find_program(MAKENSIS makensis REQUIRED)
  function(mirelunde_installer output version library64 library86)
    add_custom_command(
      OUTPUT ${output}
      COMMAND ${MAKENSIS} -V2 -INPUTCHARSET UTF8 -DVERSION=${version} -DOUTFILE=${output} -DLAUNCHER64=$<TARGET_FILE:mirelunde>
              -DLIBRARY64=${library64} -DLAUNCHER86=${MIRELUNDE_X86_BUILD}/mirelunde.exe -DLIBRARY86=${library86}
              -DGUIDE=${CMAKE_SOURCE_DIR}/docs/GUIDE.txt -DLICENCE=${CMAKE_SOURCE_DIR}/LICENSE -DICON=${ICON_FILE}
              ${CMAKE_SOURCE_DIR}/installer/Mirelunde.nsi
      DEPENDS ${CMAKE_SOURCE_DIR}/installer/Mirelunde.nsi mirelunde ${library64} ${MIRELUNDE_X86_BUILD}/mirelunde.exe
              ${library86} ${CMAKE_SOURCE_DIR}/docs/GUIDE.txt ${CMAKE_SOURCE_DIR}/LICENSE ${ICON_FILE}
      COMMENT "Building ${output}")
  endfunction()
  set(product_installer ${CMAKE_BINARY_DIR}/installer/Mirelunde-${PROJECT_VERSION}-setup.exe)
  set(upgrade_installer ${CMAKE_BINARY_DIR}/upgrade/Mirelunde-${MIRELUNDE_UPGRADE_VERSION}-setup.exe)
  mirelunde_installer(${product_installer} ${PROJECT_VERSION} $<TARGET_FILE:Mirelunde>
                      ${MIRELUNDE_X86_BUILD}/Mirelunde.dll)
  mirelunde_installer(${upgrade_installer} ${MIRELUNDE_UPGRADE_VERSION} $<TARGET_FILE:upgrade_library>
                      ${MIRELUNDE_X86_BUILD}/upgrade/Mirelunde.dll)
  add_custom_target(installers DEPENDS ${product_installer} ${upgrade_installer})
endif()
