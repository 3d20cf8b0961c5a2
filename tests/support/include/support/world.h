// The world a test starts from: the headless platform, the camera simulator
// and the host imaging stand-in, each reset to its initial state.
#pragma once

namespace vxtest {

// Resets all three, with the simulator delivering frames back to back
// (free pacing) and waiting as long as a slow build needs for a frame.
void resetWorld();
// Forgets what was recorded (SDK journal, debug lines, message boxes, window
// operations) and keeps everything else.
void clearRecords();

} // namespace vxtest
