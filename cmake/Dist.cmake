# dist/: the folder a Windows user unzips, laid out as the program expects.
set(VT2_DIST_DIR ${PROJECT_SOURCE_DIR}/dist CACHE PATH "Where the build assembles the distribution folder")
# A 64-bit build's VT2 hooks 32-bit games too. Its demo\VT2DemoGame.exe is the 32-bit build's when
# this names that build's folder (the release's, and the tests' on a machine that runs 32-bit
# programs); otherwise the same game built as a 64-bit program at the same low addresses.
set(VT2_WIN32_BUILD_DIR "" CACHE PATH "A 32-bit build whose demo game a 64-bit build ships and tests")

set(demo_game $<TARGET_FILE:VT2DemoGame>)
set(demo_descriptor ${VT2_DEMO_DESCRIPTOR})
set(demo_layout ${VT2_DEMO_LAYOUT})
if(CMAKE_SIZEOF_VOID_P EQUAL 8 AND VT2_WIN32_BUILD_DIR)
    set(demo_game ${VT2_WIN32_BUILD_DIR}/dist/demo/VT2DemoGame.exe)
    set(demo_descriptor ${VT2_WIN32_BUILD_DIR}/dist/memcfg/demo.ini)
    set(demo_layout ${VT2_WIN32_BUILD_DIR}/generated/demo_layout.ini)
endif()
set(VT2_DIST_DEMO_LAYOUT ${demo_layout} CACHE INTERNAL "The layout of dist's demo\\VT2DemoGame.exe")

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
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VT2_DIST_DIR}/memcfg ${VT2_DIST_DIR}/joycfg ${VT2_DIST_DIR}/docs
            ${VT2_DIST_DIR}/demo
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:VT2> ${VT2_DIST_DIR}/
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:VT2OutputServer> ${VT2_DIST_DIR}/
    COMMAND ${CMAKE_COMMAND} -E copy ${demo_game} ${VT2_DIST_DIR}/demo/
    COMMAND ${CMAKE_COMMAND} -E copy ${demo_descriptor} ${VT2_DIST_DIR}/memcfg/
    ${demo64_commands}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/data/joycfg ${VT2_DIST_DIR}/joycfg
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/data/docs ${VT2_DIST_DIR}/docs
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/docs/model2.txt ${VT2_DIST_DIR}/docs/
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/data/m2setupfiles ${VT2_DIST_DIR}/m2setupfiles
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:VTStub> ${VT2_DIST_DIR}/m2setupfiles/
    DEPENDS VT2 VT2DemoGame ${demo64_target} VT2OutputServer VTStub
    COMMENT "Assembling ${VT2_DIST_DIR}"
    VERBATIM)
