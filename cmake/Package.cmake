# What a user downloads: one folder to unzip anywhere. The 64-bit build is the release for 64-bit
# Windows, VT2-<version>-win64.zip: its VT2.exe hooks 32-bit and 64-bit games alike, and its
# demo\VT2DemoGame.exe is the real 32-bit demo game of the 32-bit build (VT2_32BIT_DEMO_GAME) with
# its descriptor. The 32-bit build is VT2-<version>-win32.zip, for 32-bit Windows.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(package_system win64)
    install(DIRECTORY ${VT2_DIST_DIR}/ DESTINATION . USE_SOURCE_PERMISSIONS
            PATTERN "demo/VT2DemoGame.exe" EXCLUDE PATTERN "memcfg/demo.ini" EXCLUDE)
    if(VT2_32BIT_DEMO_GAME)
        install(FILES ${VT2_32BIT_DEMO_GAME} DESTINATION demo)
        install(FILES ${VT2_DEMO32_DESCRIPTOR} DESTINATION memcfg)
    else()
        install(CODE "message(FATAL_ERROR \"The 64-bit package holds the 32-bit demo game: configure this build \"
                                          \"with -DVT2_32BIT_DEMO_GAME=<32-bit build>/dist/demo/VT2DemoGame.exe \"
                                          \"(scripts/package does).\")")
    endif()
else()
    set(package_system win32)
    install(DIRECTORY ${VT2_DIST_DIR}/ DESTINATION . USE_SOURCE_PERMISSIONS)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME VT2)
set(CPACK_PACKAGE_VENDOR "VT2")
set(CPACK_PACKAGE_FILE_NAME "VT2-${PROJECT_VERSION}-${package_system}")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
