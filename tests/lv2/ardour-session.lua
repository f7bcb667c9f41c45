-- Run by ardour7-lua: ardour7-lua ardour-session.lua PLUGIN_ID SESSION_FOLDER [LV2|VST3]
-- Makes a session on the Dummy backend's sine generator for Ardour's GUI to open: a stereo track
-- that monitors its input, with the plug-in (LV2 unless told) as its first processor at a threshold of -30 dB
-- and a ratio of 4:1, saved once the sine plays through it. Prints "ids ROUTE PROCESSOR", the IDs
-- the GUI names the plug-in's window by.
local uri, folder, kind = arg[1], arg[2], arg[3] or "LV2"

local common = dofile("tests/lv2/ardour-track.lua")
local check = common.check
local track, processor = common.track(uri, folder, "gui", kind)

local plugin = processor:to_insert():plugin(0)
local settings = { Threshold = -30, Ratio = 4 }
local n = 0
for port = 0, plugin:parameter_count() - 1 do
  if plugin:parameter_is_control(port) then
    local value = settings[plugin:parameter_label(port)]
    if value then check(ARDOUR.LuaAPI.set_processor_param(processor, n, value), "cannot set a control") end
    n = n + 1
  end
end

-- A session that plays silence would leave the editor's graph empty: that would be this recipe's fault.
local meter = track:peak_meter()
check(common.waitFor(function() return meter:meter_level(0, ARDOUR.MeterType.MeterPeak) > -60 end),
  "the Dummy backend's sine does not reach the track's output after 30 s")

print("ids " .. track:to_stateful():id():to_s() .. " " .. processor:to_stateful():id():to_s())
Session:save_state("", false, false, false, false, false)
close_session()
