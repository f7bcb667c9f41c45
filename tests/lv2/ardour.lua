-- Run by ardour7-lua (Ardour's own engine and session code, without its windows):
--   ardour7-lua ardour.lua PLUGIN_ID SESSION_FOLDER [LV2|VST3 [other]]
-- The Dummy backend's sine generator feeds a stereo track that monitors its input, with the
-- plug-in (LV2 unless told; its URI, or a VST 3 class ID) as the track's first processor.
-- Ardour's own meter on the track's output reads the level with the threshold at 0 dB
-- (nothing above it), and again with the threshold at -40 dB and a ratio of 4:1: the drop must
-- be what the compressor's gain law takes off a sine, and the plug-in's gain reduction output,
-- where it has one, must say the same. "other" names another maker's compressor, which only
-- has to compress: it proves the recipe. Prints one "ok" line or fails.
local uri, folder, kind, other = arg[1], arg[2], arg[3] or "LV2", arg[4] == "other"
local threshold, ratio = -40, 4

local common = dofile("tests/lv2/ardour-track.lua")
local check = common.check
local track, processor = common.track(uri, folder, "lv2", kind)
local plugin = processor:to_insert():plugin(0)

-- Controls by name, as the index among control ports that Ardour's parameter calls take.
local controls = {}
local n = 0
for port = 0, plugin:parameter_count() - 1 do
  if plugin:parameter_is_control(port) then
    controls[plugin:parameter_label(port)] = n
    n = n + 1
  end
end
for _, name in ipairs(kind == "LV2" and { "Threshold", "Ratio", "Gain reduction" } or { "Threshold", "Ratio" }) do
  check(controls[name], "Ardour lists no control named " .. name)
end

local function level()
  local meter = track:peak_meter()
  return math.max(meter:meter_level(0, ARDOUR.MeterType.MeterPeak), meter:meter_level(1, ARDOUR.MeterType.MeterPeak))
end
-- The output level over a quarter second of audio: the highest of the meter's readings, taken
-- after each process cycle or two. Ardour's peak meter falls by a fixed step in a cycle whose
-- own peak is lower (as a cycle of a low tone may be), and a reading can catch it between that
-- step and the cycle's peak; neither lowers the highest reading of the window. Nil when the
-- engine stopped.
local quarterSecond = 12000 -- samples at 48 kHz
local function windowLevel()
  local from, high = AudioEngine:processed_samples(), -math.huge
  local ended = common.waitFor(function()
    high = math.max(high, level())
    return AudioEngine:processed_samples() - from >= quarterSecond
  end)
  return ended and high or nil
end
-- Waits, for thirty seconds at most, until the output level holds still: two windows in a row
-- within 0.1 dB of each other (1 dB for another maker's compressor, whose gain may ripple with
-- the sine), above silence. The first window starts as the change is made. Returns that level.
local steady = other and 1.0 or 0.1
local function settledLevel()
  local deadline = ARDOUR.LuaAPI.monotonic_time() + 30000000
  local levels, stopped = {}, false
  repeat
    local now = windowLevel()
    if not now then
      stopped = true
      break
    end
    local before = levels[#levels]
    table.insert(levels, now)
    if before and math.abs(now - before) < steady and now > -100 then return now end
  until ARDOUR.LuaAPI.monotonic_time() >= deadline
  local last = {}
  for i = math.max(1, #levels - 4), #levels do table.insert(last, string.format("%.2f", levels[i])) end
  check(false, string.format("the track's output level did not settle: %d windows, the last %s%s", #levels,
    table.concat(last, " "), stopped and "; then the engine stopped running" or ""))
end

check(ARDOUR.LuaAPI.set_processor_param(processor, controls["Ratio"], ratio), "cannot set the ratio")
local open = settledLevel()
check(ARDOUR.LuaAPI.set_processor_param(processor, controls["Threshold"], threshold), "cannot set the threshold")
local compressed = settledLevel()
local reported = controls["Gain reduction"] and ARDOUR.LuaAPI.get_processor_param(processor, controls["Gain reduction"], false)

-- The meter reads a sine's peak; the detector reads its RMS level x, 3.01 dB lower. Above the
-- threshold a the compressor divides the amplitude by the ratio: x becomes (x - a) / ratio + a.
local x, a = 10 ^ ((open - 3.0103) / 20), 10 ^ (threshold / 20)
local expected = -20 * math.log((x - a) / ratio + a, 10) + 20 * math.log(x, 10)
local drop = open - compressed
Session:save_state("", false, false, false, false, false)
close_session()
if other then
  check(drop > 1, string.format("the output dropped by %.2f dB only", drop))
  print(string.format("ok: in Ardour %s compresses the sine at %.2f dBFS by %.2f dB", uri, open, drop))
  os.exit(0)
end
check(math.abs(drop - expected) < 0.5,
  string.format("the output dropped by %.2f dB from %.2f dBFS, expected %.2f dB", drop, open, expected))
check(not reported or math.abs(reported - drop) < 0.5,
  string.format("the plug-in reports %.2f dB of gain reduction, the meter shows %.2f dB", reported or 0, drop))
print(string.format("ok: in Ardour the %s plug-in drops the sine at %.2f dBFS by %.2f dB (expected %.2f)%s",
  kind, open, drop, expected, reported and string.format(", and reports %.2f dB", reported) or ""))
