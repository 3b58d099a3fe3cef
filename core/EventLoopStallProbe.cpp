#include "EventLoopStallProbe.h"

#include <algorithm>

Q_LOGGING_CATEGORY(lcStall, "tunola.stall", QtWarningMsg)

namespace tunola {

TEventLoopStallProbe::TEventLoopStallProbe(QObject* parent, int intervalMs, int traceThresholdMs)
    : QObject(parent), intervalMs_(intervalMs), traceThresholdMs_(traceThresholdMs) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(intervalMs_);
    connect(&timer_, &QTimer::timeout, this, [this] { Tick(); });
}

void TEventLoopStallProbe::Start() {
    clock_.start();
    lastMs_ = 0;
    timer_.start();
}

void TEventLoopStallProbe::Stop() {
    timer_.stop();
}

void TEventLoopStallProbe::Reset() {
    worstMs_ = 0;
    lastMs_ = clock_.isValid() ? clock_.elapsed() : 0;
}

void TEventLoopStallProbe::Tick() {
    const qint64 now = clock_.elapsed();
    const qint64 stall = now - lastMs_ - intervalMs_;
    lastMs_ = now;
    if (stall <= 0)
        return;
    worstMs_ = std::max(worstMs_, stall);
    if (stall >= traceThresholdMs_)
        qCInfo(lcStall, "event loop stalled for %lld ms", static_cast<long long>(stall));
    else if (stall >= kDebugTraceMs)
        qCDebug(lcStall, "event loop stalled for %lld ms", static_cast<long long>(stall));
}

} // namespace tunola
