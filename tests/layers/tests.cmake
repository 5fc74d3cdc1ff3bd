# The shape of the sources: includes run downward only, and the portable core has no Windows header.
add_test(NAME layers_includes_run_downward
         COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}/src -P ${PROJECT_SOURCE_DIR}/cmake/CheckLayers.cmake)
# The check itself, against a small tree with each kind of fault: it must name every one and fail.
function(vt2_layers_check_refuses name expected)
    add_test(NAME layers_check_refuses_${name}
             COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_CURRENT_SOURCE_DIR}/layers/upward
                     -P ${PROJECT_SOURCE_DIR}/cmake/CheckLayers.cmake)
    set_tests_properties(layers_check_refuses_${name} PROPERTIES PASS_REGULAR_EXPRESSION "${expected}" LABELS layers)
endfunction()
vt2_layers_check_refuses(an_upward_include
    "memory/reaches_up.cpp: includes engine/run.h, but 'memory' may only use: memory, common, platform")
vt2_layers_check_refuses(a_windows_header_in_the_core "input/uses_windows.cpp: includes <Windows.h>, but 'input' builds")
vt2_layers_check_refuses(a_path_out_of_the_tree "input/beside.cpp: includes [.][.]/outside.h")
vt2_layers_check_refuses(an_adapter_reaching_the_engine
    "adapters/win32/reaches_engine.cpp: includes engine/run.h, but 'adapters/win32' may only use: adapters/win32, outputs, input, memory, common, platform")
vt2_layers_check_refuses(and_fails "4 include[(]s[)] of 5 files run against the layers")
set_tests_properties(layers_includes_run_downward PROPERTIES LABELS layers)
