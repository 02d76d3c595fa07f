-- system.lua - the demo's Lua side: the command "swing N,MS" lifts sprite N
-- along a spline and lets it fall back, one step every MS milliseconds.
function OVCOM_swing()
  local n = OVPopInt()
  OVPopComma()
  local step = OVPopInt()
  local x, y, alpha = OVSpGetPos(n)
  OVDefSpline(0, {0, 10, 20}, {y, y + 60, y})
  for t = 0, 20 do
    OVSpMove(n, x, math.floor(OVSpline(0, t)), alpha)
    OVUpdate()
    OVSleep(step)
  end
end
