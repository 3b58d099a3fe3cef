// Every test program's leak check waits, as the player's does, for Qt's threads to end at exit
// (ThreadsSettleAtExit.h). Registered while the program starts, before main runs, so the hook
// comes after the destructors of everything the tests make.

#include "ThreadsSettleAtExit.h"

namespace {

const bool kRegistered = (tunola::SettleThreadsAtExit(), true);

} // namespace
