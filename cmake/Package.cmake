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
# The programs a player downloads carry no debug information (it was most of VT2.exe's 36 MB).
# Each one's symbols are kept in <build>/symbols/<program>.debug, which its .gnu_debuglink names,
# to read a crash address with: beside the zip, never in it.
install(CODE "
    set(objcopy \"${CMAKE_OBJCOPY}\")
    set(symbols \"${CMAKE_BINARY_DIR}/symbols\")
    file(MAKE_DIRECTORY \"\${symbols}\")
    file(GLOB_RECURSE programs \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/*.exe\")
    foreach(program IN LISTS programs)
        get_filename_component(name \"\${program}\" NAME)
        execute_process(COMMAND \"\${objcopy}\" --only-keep-debug \"\${program}\" \"\${symbols}/\${name}.debug\"
                        RESULT_VARIABLE kept)
        execute_process(COMMAND \"\${objcopy}\" --strip-debug \"--add-gnu-debuglink=\${symbols}/\${name}.debug\" \"\${program}\"
                        RESULT_VARIABLE stripped)
        if(kept OR stripped)
            message(FATAL_ERROR \"\${program}: its debug information could not be moved to \${symbols}\")
        endif()
    endforeach()
")
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME VT2)
set(CPACK_PACKAGE_VENDOR "VT2")
set(CPACK_PACKAGE_FILE_NAME "VT2-${PROJECT_VERSION}-${package_system}")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
