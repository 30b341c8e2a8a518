#pragma once

// The state of the keyboard's lock keys, where the platform lets us read it
// (X11 through xkb). known is false elsewhere.
struct KeyLockState {
    bool known = false;
    bool capsLock = false;
    bool numLock = false;
    bool scrollLock = false;
};

KeyLockState queryKeyLockState();
