# dist/: the folder a Windows user unzips, laid out as the program expects.
set(VT2_DIST_DIR ${PROJECT_SOURCE_DIR}/dist CACHE PATH "Where the build assembles the distribution folder")

add_custom_target(dist ALL
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${VT2_DIST_DIR}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VT2_DIST_DIR}/memcfg ${VT2_DIST_DIR}/joycfg ${VT2_DIST_DIR}/docs
            ${VT2_DIST_DIR}/demo
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:VT2> ${VT2_DIST_DIR}/
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:VT2OutputServer> ${VT2_DIST_DIR}/
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:VT2DemoGame> ${VT2_DIST_DIR}/demo/
    COMMAND ${CMAKE_COMMAND} -E copy ${VT2_DEMO_DESCRIPTOR} ${VT2_DIST_DIR}/memcfg/
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/data/joycfg ${VT2_DIST_DIR}/joycfg
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/data/docs ${VT2_DIST_DIR}/docs
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/docs/model2.txt ${VT2_DIST_DIR}/docs/
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/data/m2setupfiles ${VT2_DIST_DIR}/m2setupfiles
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:VTStub> ${VT2_DIST_DIR}/m2setupfiles/
    DEPENDS VT2 VT2DemoGame VT2OutputServer VTStub
    COMMENT "Assembling ${VT2_DIST_DIR}"
    VERBATIM)
