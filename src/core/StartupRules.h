// Rules that decide at start-up whether the program may run at all.
// Platform-free: the caller asks the system and hands in the answers.
#pragma once

// A 32-bit build under WOW64 (a 32-bit program on 64-bit Windows) sees the
// registry and the system folder through WOW64's redirection: its checks
// would test the wrong files and offer the wrong keys for deletion. Such a
// build must refuse to start (the user is told to use the 64-bit build and
// the program ends with exit code 0). Every other combination may start.
bool MustRefuseToStart(bool buildIs32Bit, bool runsUnderWow64);
