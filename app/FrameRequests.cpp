#include "FrameRequests.h"

#include "CommandLine.h"
#include "PlayerActions.h"
#include "PlayerMessages.h"

namespace tunola {

TFrameAnswer AnswerFrameRequest(TPlayerActions& actions, int32_t verb, const QByteArray& payload) {
    TFrameAnswer answer;
    bool ok = false;
    switch (verb) {
    case fvOpen:
    case fvEnqueue:
        answer.Result = actions.Open(SplitItems(payload), verb == fvOpen);
        break;
    case fvStatus:
        answer.Result = 1;
        answer.Payload = actions.StatusText();
        break;
    case fvStop:
        actions.Stop();
        answer.Result = 1;
        break;
    case fvPause:
        actions.Pause();
        answer.Result = 1;
        break;
    case fvSeek: {
        const double seconds = payload.trimmed().toDouble(&ok);
        answer.Result = ok && actions.Seek(seconds) ? 1 : 0;
        break;
    }
    case fvVolume: {
        const int percent = payload.trimmed().toInt(&ok);
        if (ok && percent >= 0 && percent <= 100) {
            actions.SetVolume(percent);
            answer.Result = 1;
        }
        break;
    }
    case fvSkin:
        answer.Result = actions.ChooseSkin(payload) ? 1 : 0;
        break;
    case fvRemove: {
        const int index = payload.trimmed().toInt(&ok);
        answer.Result = ok && actions.Remove(index) ? 1 : 0;
        break;
    }
    case fvMove: {
        const QList<QByteArray> words = payload.simplified().split(' ');
        bool okY = false;
        if (words.size() == 3) {
            const int dx = words[1].toInt(&ok), dy = words[2].toInt(&okY);
            answer.Result = ok && okY && actions.DragWindow(words[0], QPoint(dx, dy)) ? 1 : 0;
        } else {
            answer.Result = 0;
        }
        break;
    }
    default:
        break; // unknown verbs answer −1, like unknown control codes
    }
    return answer;
}

} // namespace tunola
