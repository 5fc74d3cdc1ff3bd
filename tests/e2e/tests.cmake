# Whole programs under Wine: VT2.exe against the demo game, driven as a user would.
add_executable(vt2_e2e_tests
    e2e/aim_area_e2e_test.cpp
    e2e/aim_finder_e2e_test.cpp
    e2e/bad_input_e2e_test.cpp
    e2e/bridge_e2e_test.cpp
    e2e/config_e2e_test.cpp
    e2e/descriptor_check_e2e_test.cpp
    e2e/devices_e2e_test.cpp
    e2e/game_memory_e2e_test.cpp
    e2e/gun_feedback_e2e_test.cpp
    e2e/hook_run_e2e_test.cpp
    e2e/model2_e2e_test.cpp
    e2e/numeric_outputs_e2e_test.cpp
    e2e/outputs_e2e_test.cpp
    e2e/package_e2e_test.cpp
    e2e/playing_e2e_test.cpp
    e2e/start_up_e2e_test.cpp
)
target_link_libraries(vt2_e2e_tests PRIVATE vt2_win32_harness GTest::gtest_main ws2_32)
target_compile_definitions(vt2_e2e_tests PRIVATE VT2_VERSION_TEXT="${PROJECT_VERSION}")
add_dependencies(vt2_e2e_tests dist vt2probe vt2inject)
if(TARGET package_under_test)
    add_dependencies(vt2_e2e_tests package_under_test)
endif()
# They share the one desktop, mouse and keyboard: one at a time.
gtest_discover_tests(vt2_e2e_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    PROPERTIES LABELS e2e TIMEOUT 180 RESOURCE_LOCK desktop)
# The hook run, playing and outputs once more with the busy loop ([Loop] Busy=1): both loops must
# do everything the same (against dist's demo game: the loop does not differ by the game).
gtest_discover_tests(vt2_e2e_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120 TEST_PREFIX "busy_loop."
    TEST_FILTER "HookRunE2E.*:*HookRunEachGameE2E.*/demo:*PlayingE2E.*/demo:OutputsE2E.*:*OutputsEachGameE2E.*/demo:NumericOutputsE2E.*"
    DISCOVERY_EXTRA_ARGS "--gtest_filter=HookRunE2E.*:*HookRunEachGameE2E.*/demo:*PlayingE2E.*/demo:OutputsE2E.*:*OutputsEachGameE2E.*/demo:NumericOutputsE2E.*"
    PROPERTIES LABELS e2e TIMEOUT 180 RESOURCE_LOCK desktop ENVIRONMENT VT2_TEST_LOOP=busy)
