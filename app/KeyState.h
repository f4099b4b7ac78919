#pragma once
// The NumLock key. Told "on", it switches NumLock on (X11 through XKB); told "off" it
// leaves the key alone. Elsewhere it does nothing.
void SetNumLockState(bool on);
// How many times the key was switched on by the program (for tests and diagnostics).
int NumLockSwitchCount();
