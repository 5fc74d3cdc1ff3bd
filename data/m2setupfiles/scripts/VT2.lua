-- VT2: starts VT2's hook run for the ROM set the emulator runs.
--
-- The start script scripts\<romset>.lua, written by VT2's Model 2 setup helper, names the ROM set
-- and loads this module:
--   ROM = "hotd"
--   require("VT2");
-- When the emulator calls Init() (the game is loaded and about to start), VTStub.exe in the
-- emulator's folder is started with the ROM set's name, and the emulator does not wait for it.
-- That happens once per emulator run: a reset of the game starts no second hook run. The
-- emulator's other hooks (Reset, Frame, PostDraw, End) are left as they are.

local VT2 = {}

local started = false
-- An Init defined before this module was loaded still runs, first.
local previousInit = Init

-- ROM set names are letters, digits and a few marks; anything else is not passed to the shell.
local function usable(rom)
  return type(rom) == "string" and rom:match("^[%w_%-%.]+$") ~= nil
end

-- Starts the stub for rom unless it has started already; true when it was started now.
function VT2.start(rom)
  if started or not usable(rom) then return false end
  started = true
  -- "start" returns at once: os.execute alone would hold the emulator until the stub ends.
  os.execute('start "" "VTStub.exe" ' .. rom)
  return true
end

function Init()
  if previousInit then previousInit() end
  VT2.start(ROM)
end

return VT2
