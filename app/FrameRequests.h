#pragma once
// Answers the framed requests of the local socket (see PlayerMessages.h) with the player's
// actions. UI thread.

#include "SingleInstance.h"

namespace tunola {

class TPlayerActions;

TFrameAnswer AnswerFrameRequest(TPlayerActions& actions, int32_t verb, const QByteArray& payload);

} // namespace tunola
