# The Win32 adapters against the real system, under Wine.
set(VT2_TEST_DIST_DIR_UNIX ${VT2_DIST_DIR})
function(vt2_wine_path out unix_path)
    string(REPLACE "/" "\\\\" escaped "${unix_path}")
    set(${out} "Z:${escaped}" PARENT_SCOPE)
endfunction()
vt2_wine_path(VT2_TEST_DIST_DIR ${VT2_DIST_DIR})
vt2_wine_path(VT2_TEST_DEMO_LAYOUT ${VT2_DEMO_LAYOUT})
set(VT2_TEST_DEMO64_LAYOUT "")
set(VT2_TEST_DEMO64_GAME "")
set(VT2_TEST_DEMO64_DESCRIPTOR "")
if(VT2_DEMO64_LAYOUT)
    vt2_wine_path(VT2_TEST_DEMO64_LAYOUT ${VT2_DEMO64_LAYOUT})
    vt2_wine_path(VT2_TEST_DEMO64_GAME ${VT2_DIST_DIR}/demo/VT2DemoGame64.exe)
    vt2_wine_path(VT2_TEST_DEMO64_DESCRIPTOR ${VT2_DIST_DIR}/memcfg/demo64.ini)
endif()
set(VT2_TEST_LINUX_BRIDGE "")
if(VT2_LINUX_BRIDGE)
    vt2_wine_path(VT2_TEST_LINUX_BRIDGE ${VT2_DIST_DIR}/linux/vt2bridge)
endif()
# The 32-bit demo game a 64-bit build ships, when it is configured with one.
set(VT2_TEST_DEMO32_GAME "")
set(VT2_TEST_DEMO32_LAYOUT "")
set(VT2_TEST_DEMO32_DESCRIPTOR "")
if(VT2_DEMO32_LAYOUT)
    vt2_wine_path(VT2_TEST_DEMO32_GAME ${VT2_32BIT_DEMO_GAME})
    vt2_wine_path(VT2_TEST_DEMO32_LAYOUT ${VT2_DEMO32_LAYOUT})
    vt2_wine_path(VT2_TEST_DEMO32_DESCRIPTOR ${VT2_DEMO32_DESCRIPTOR})
endif()
vt2_wine_path(VT2_TEST_FIXTURES_DIR ${CMAKE_BINARY_DIR}/tests/fixtures)
# The win64 package as a player unzips it, made before the tests under Wine run.
set(VT2_TEST_UNZIPPED_PACKAGE "")
if(CMAKE_SIZEOF_VOID_P EQUAL 8 AND VT2_32BIT_DEMO_GAME)
    set(package_under_test ${CMAKE_BINARY_DIR}/package-under-test)
    add_custom_target(package_under_test
        COMMAND ${CMAKE_COMMAND} -E rm -rf ${package_under_test}
        COMMAND ${CMAKE_CPACK_COMMAND} --config ${CMAKE_BINARY_DIR}/CPackConfig.cmake -B ${package_under_test}
        COMMAND ${CMAKE_COMMAND} -E chdir ${package_under_test} ${CMAKE_COMMAND} -E tar xf VT2-${PROJECT_VERSION}-win64.zip
        COMMENT "The win64 package, unzipped for the tests" VERBATIM)
    add_dependencies(package_under_test dist demo32_descriptor)
    vt2_wine_path(VT2_TEST_UNZIPPED_PACKAGE ${package_under_test}/VT2-${PROJECT_VERSION}-win64)
endif()
configure_file(support/test_paths.h.in ${CMAKE_CURRENT_BINARY_DIR}/generated/support/test_paths.h @ONLY)

add_library(vt2_win32_harness STATIC support/win32_harness.cpp support/ui_driver.cpp)
target_include_directories(vt2_win32_harness PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR}/generated)
target_link_libraries(vt2_win32_harness PUBLIC vt2_win32 GTest::gtest)

add_executable(vt2_win32_tests
    contract/ini_contract.cpp
    win32/ini_contract_win32.cpp
    win32/aim_finder_test.cpp
    win32/devices_test.cpp
    win32/forms_test.cpp
    win32/game_memory_test.cpp
    win32/loop_pacer_test.cpp
    win32/main_window_test.cpp
    win32/module_list_test.cpp
    win32/network_outputs_test.cpp
    win32/output_link_test.cpp
    win32/stub_test.cpp
    win32/window_outputs_test.cpp
    win32/window_adapters_test.cpp
)
target_link_libraries(vt2_win32_tests PRIVATE vt2_win32_harness GTest::gtest_main ws2_32)
add_dependencies(vt2_win32_tests vt2inject vt2recorder VT2DemoGame dist)
gtest_discover_tests(vt2_win32_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    PROPERTIES LABELS win32 TIMEOUT 120 RESOURCE_LOCK desktop)
