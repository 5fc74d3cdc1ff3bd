-- The VT2 Lua module as the Model 2 emulator runs it: a start script as the setup helper writes it
-- is run, then the emulator's hooks are called. os.execute is replaced by a recorder.
-- Usage: lua vt2_module_test.lua <folder of VT2.lua>

local folder = assert(arg[1], "usage: vt2_module_test.lua <scripts folder>")
package.path = folder .. "/?.lua;" .. package.path

-- The start script for hotd, byte for byte as the setup helper writes it.
local kStartScript = 'ROM = "hotd"\r\nrequire("VT2");\r\n'

local passed, failed = 0, 0
local function check(condition, what)
  if condition then
    passed = passed + 1
  else
    failed = failed + 1
    print("FAILED: " .. what)
  end
end

local realExecute = os.execute
local calls

-- A fresh emulator run: no module loaded, no hooks, the recorder in place.
local function freshRun()
  package.loaded.VT2 = nil
  ROM, Init, Reset, Frame, PostDraw, End = nil, nil, nil, nil, nil, nil
  calls = {}
  os.execute = function(command)
    calls[#calls + 1] = command
    return 0
  end
end

local function runScript(text)
  local chunk = assert((loadstring or load)(text))
  chunk()
end

-- Init starts the stub once, with the ROM set, and returns.
freshRun()
runScript(kStartScript)
check(ROM == "hotd", "the start script names the ROM set")
check(type(Init) == "function", "loading the module defines Init")
check(#calls == 0, "loading alone starts nothing")
Init()
check(#calls == 1, "Init starts one command")
check(calls[1] == 'start "" "VTStub.exe" hotd', "Init asks for VTStub.exe hotd without waiting, got: " .. tostring(calls[1]))
Init()
check(#calls == 1, "a second Init (a reset) starts nothing more")

-- The emulator's other hooks stay as they were.
freshRun()
local frame = function() end
Frame = frame
runScript(kStartScript)
check(Frame == frame, "Frame is left alone")
check(Reset == nil and PostDraw == nil and End == nil, "no other hook is defined")

-- An Init defined before the module still runs, before the stub starts.
freshRun()
local order = {}
Init = function() order[#order + 1] = "earlier Init" end
os.execute = function(command) order[#order + 1] = command; return 0 end
runScript(kStartScript)
Init()
check(#order == 2 and order[1] == "earlier Init" and order[2] == 'start "" "VTStub.exe" hotd',
      "an earlier Init runs first, then the stub")

-- Without a usable ROM set name nothing reaches the shell.
for _, rom in ipairs({ "", "a&b", 'x" & del *', "two words" }) do
  freshRun()
  runScript("ROM = " .. string.format("%q", rom) .. "\r\nrequire(\"VT2\");\r\n")
  Init()
  check(#calls == 0, "no command for the ROM name [" .. rom .. "]")
end
freshRun()
runScript('require("VT2");\r\n')
Init()
check(#calls == 0, "no command without ROM")

os.execute = realExecute
print(string.format("%d passed, %d failed", passed, failed))
os.exit(failed == 0 and 0 or 1)
