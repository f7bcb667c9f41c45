-- Loaded by the Ardour scripts (dofile, from the top of the checkout): check, and track, which
-- starts the Dummy backend's sine generator, makes a session in FOLDER named NAME and on it a
-- stereo track that monitors its input with the plug-in (PLUGIN_ID of KIND: LV2 or VST3) as its
-- first processor. track answers the track and the processor.
local common = {}

function common.check(condition, message)
  if not condition then
    print("FAIL: " .. message)
    os.exit(1)
  end
end
local check = common.check

-- Waits until condition() holds, looking again after each process cycle of the engine, until
-- thirty seconds have passed on the monotonic clock (microseconds); answers whether it held.
function common.waitFor(condition)
  local deadline = ARDOUR.LuaAPI.monotonic_time() + 30000000
  while not condition() do
    local left = (deadline - ARDOUR.LuaAPI.monotonic_time()) // 1000
    if left <= 0 or not ARDOUR.LuaAPI.wait_for_process_callback(1, left) then return condition() end
  end
  return true
end

function common.track(uri, folder, name, kind)
  local backend = AudioEngine:set_backend("None (Dummy)", "", "")
  check(backend and not backend:isnil(), "no Dummy backend")
  -- Sines of 397 Hz and 500 Hz on the first two inputs, at -18 dBFS. "Sine Wave" gives each input
  -- a frequency drawn at random from 20 Hz up, some runs too low for a steady peak meter.
  backend:set_device_name("Sine Wave 1K, 1/3 Oct")
  backend:set_sample_rate(48000)
  backend:set_buffer_size(512)
  check(AudioEngine:start(false) == 0, "the engine did not start")
  check(create_session(folder, name, 48000), "no session")

  local track = Session:new_audio_track(2, 2, nil, 1, "sine", -1, ARDOUR.TrackMode.Normal, true):front()
  -- The monitoring is a real-time control: the process thread applies it at its next cycle, and
  -- a session saved before that keeps the track on automatic monitoring, which plays silence.
  local monitoring = track:monitoring_control()
  monitoring:set_value(ARDOUR.MonitorChoice.MonitorInput, PBD.GroupControlDisposition.NoGroup)
  check(common.waitFor(function() return monitoring:get_value() == ARDOUR.MonitorChoice.MonitorInput end),
    "the track does not monitor its input after 30 s")
  local processor = ARDOUR.LuaAPI.new_plugin(Session, uri, ARDOUR.PluginType[kind], "")
  check(not processor:isnil(), "Ardour does not find " .. uri)
  check(track:add_processor_by_index(processor, 0, nil, true) == 0, "the plug-in does not go on the track")
  return track, processor
end

return common
