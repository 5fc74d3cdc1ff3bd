# dist/: the folder a Windows user unzips, laid out as the program expects.
set(VT2_DIST_DIR ${PROJECT_SOURCE_DIR}/dist CACHE PATH "Where the build assembles the distribution folder")
# A 64-bit build's VT2 hooks 32-bit games too. Its dist\ (where the tests run) holds the demo game
# built as a 64-bit program at the same low addresses, which runs where 32-bit programs cannot; the
# release holds the real 32-bit one of the 32-bit build, named here, with a descriptor and a layout
# written from its own symbols.
set(VT2_32BIT_DEMO_GAME "" CACHE FILEPATH "The 32-bit build's VT2DemoGame.exe, which a 64-bit build ships and tests")
if(CMAKE_SIZEOF_VOID_P EQUAL 8 AND VT2_32BIT_DEMO_GAME)
    set(VT2_DEMO32_DESCRIPTOR ${CMAKE_BINARY_DIR}/generated32/memcfg/demo.ini CACHE INTERNAL "")
    set(VT2_DEMO32_LAYOUT ${CMAKE_BINARY_DIR}/generated32/demo_layout.ini CACHE INTERNAL "")
    add_custom_command(OUTPUT ${VT2_DEMO32_DESCRIPTOR} ${VT2_DEMO32_LAYOUT}
        COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DEXE=${VT2_32BIT_DEMO_GAME} -DIMAGE_BASE=0x400000 -DWIDE=OFF
                -DTEMPLATE=${PROJECT_SOURCE_DIR}/data/memcfg/demo.ini.in -DDESCRIPTOR=${VT2_DEMO32_DESCRIPTOR}
                -DLAYOUT=${VT2_DEMO32_LAYOUT} -P ${PROJECT_SOURCE_DIR}/cmake/DemoDescriptor.cmake
        DEPENDS ${VT2_32BIT_DEMO_GAME} ${PROJECT_SOURCE_DIR}/data/memcfg/demo.ini.in
        COMMENT "Writing the memory descriptor of the 32-bit demo game"
        VERBATIM)
    add_custom_target(demo32_descriptor ALL DEPENDS ${VT2_DEMO32_DESCRIPTOR} ${VT2_DEMO32_LAYOUT})
else()
    set(VT2_DEMO32_DESCRIPTOR "" CACHE INTERNAL "")
    set(VT2_DEMO32_LAYOUT "" CACHE INTERNAL "")
endif()

# The Linux input bridge, built natively (the linux preset), in dist/linux/ when it is named here.
set(VT2_LINUX_BRIDGE "" CACHE FILEPATH "The native vt2bridge program that dist/linux/ holds")
set(bridge_commands "")
if(VT2_LINUX_BRIDGE)
    set(bridge_commands COMMAND ${CMAKE_COMMAND} -E make_directory ${VT2_DIST_DIR}/linux
                        COMMAND ${CMAKE_COMMAND} -E copy ${VT2_LINUX_BRIDGE} ${VT2_DIST_DIR}/linux/)
endif()

set(demo64_commands "")
set(demo64_target "")
if(TARGET VT2DemoGame64)
    set(demo64_commands
        COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:VT2DemoGame64> ${VT2_DIST_DIR}/demo/
        COMMAND ${CMAKE_COMMAND} -E copy ${VT2_DEMO64_DESCRIPTOR} ${VT2_DIST_DIR}/memcfg/)
    set(demo64_target VT2DemoGame64)
endif()

add_custom_target(dist ALL
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${VT2_DIST_DIR}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VT2_DIST_DIR}/memcfg ${VT2_DIST_DIR}/joycfg ${VT2_DIST_DIR}/feedback ${VT2_DIST_DIR}/docs
            ${VT2_DIST_DIR}/demo
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:VT2> ${VT2_DIST_DIR}/
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:VT2OutputServer> ${VT2_DIST_DIR}/
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:VT2DemoGame> ${VT2_DIST_DIR}/demo/
    COMMAND ${CMAKE_COMMAND} -E copy ${VT2_DEMO_DESCRIPTOR} ${VT2_DIST_DIR}/memcfg/
    ${demo64_commands}
    ${bridge_commands}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/data/joycfg ${VT2_DIST_DIR}/joycfg
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/data/feedback ${VT2_DIST_DIR}/feedback
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/data/docs ${VT2_DIST_DIR}/docs
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/docs/model2.txt ${VT2_DIST_DIR}/docs/
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/data/m2setupfiles ${VT2_DIST_DIR}/m2setupfiles
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:VTStub> ${VT2_DIST_DIR}/m2setupfiles/
    DEPENDS VT2 VT2DemoGame ${demo64_target} VT2OutputServer VTStub
    COMMENT "Assembling ${VT2_DIST_DIR}"
    VERBATIM)
