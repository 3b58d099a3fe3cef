#pragma once
// Under AddressSanitizer the leak check runs once the program has ended, and Qt's own threads
// can still be ending then. A QThread's wait() returns before its thread has run its exit
// clean-up, which hands back the thread's data; Qt Core deletes the key of that clean-up among
// its static destructors, so a thread that reaches its end after them never hands its data back
// (seen with the D-Bus connection manager's thread: 152 bytes and two lists, about one exit in
// a dozen). SettleThreadsAtExit, called first thing in main, registers an exit hook that runs
// after the destructors of everything made later (the D-Bus manager among them) and before Qt
// Core's: it waits, briefly and with a bound, until no thread but this one is left.
// In other builds it does nothing: nothing looks at memory after exit there, and an exit must
// never wait.
// Main thread, before any other thread starts (in main, or from a static initialiser of the
// program, as the tests do).

namespace tunola {

void SettleThreadsAtExit();

} // namespace tunola
