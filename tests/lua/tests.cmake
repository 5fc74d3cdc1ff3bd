# The Lua module the Model 2 setup helper installs, run by a Lua interpreter of the 5.1 line the
# emulator embeds (scripts/install-deps installs it).
find_program(VT2_LUA NAMES lua5.1 luajit lua5.4 lua)
if(VT2_LUA)
    add_test(NAME lua.vt2_module
             COMMAND ${VT2_LUA} ${CMAKE_CURRENT_SOURCE_DIR}/lua/vt2_module_test.lua
                     ${PROJECT_SOURCE_DIR}/data/m2setupfiles/scripts)
else()
    # A missing interpreter fails the test rather than passing for one that ran.
    message(WARNING "no Lua interpreter: scripts/install-deps installs lua5.1")
    add_test(NAME lua.vt2_module COMMAND ${CMAKE_COMMAND} -E false)
endif()
set_tests_properties(lua.vt2_module PROPERTIES LABELS unit FAIL_REGULAR_EXPRESSION "FAILED")
