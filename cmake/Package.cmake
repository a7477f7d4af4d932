# The release ZIP: the 64-bit launcher and library at the top, the 32-bit pair in x86\, where the
# 64-bit launcher looks for its companion, and the user's guide and licence (the README is for
# developers). Each build installs its own pair; the x64 build's package takes the x86 build's
# install as its x86\ folder.
install(FILES $<TARGET_FILE:mirelunde> $<TARGET_FILE:Mirelunde> DESTINATION .)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  install(FILES ${CMAKE_SOURCE_DIR}/docs/GUIDE.txt ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION .)
  set(MIRELUNDE_X86_BUILD ${CMAKE_BINARY_DIR}/../x86 CACHE PATH "The x86 build that the package takes its x86 folder from")
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME Mirelunde-${PROJECT_VERSION})
  set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};Mirelunde;ALL;/" "${MIRELUNDE_X86_BUILD};Mirelunde;ALL;/x86")
  include(CPack)
endif()
