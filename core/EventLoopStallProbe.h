#pragma once
// How long the thread's event loop goes without turning. A timer asks to run every few
// milliseconds; whenever it runs late, the lateness is a stall of the loop (a handler that took
// that long, a blocking call). The worst stall is kept for tests and measurements, and each
// stall of at least the threshold is traced under the "tunola.stall" logging category (off
// unless QT_LOGGING_RULES turns it on: "tunola.stall.info=true"); at the debug level
// ("tunola.stall.debug=true" as well) every stall of kDebugTraceMs or more is, so that a script
// can take the worst of any stretch of a player's life from its log.
//
// Lives on the thread whose loop it watches (the UI thread); nothing of it is shared.

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QObject>
#include <QTimer>

Q_DECLARE_LOGGING_CATEGORY(lcStall)

namespace tunola {

class TEventLoopStallProbe : public QObject {
public:
    static constexpr int kDebugTraceMs = 10;

    explicit TEventLoopStallProbe(QObject* parent = nullptr, int intervalMs = 5,
                                  int traceThresholdMs = 100);

    void Start();
    void Stop();
    // Forgets the worst stall so far (a new case begins).
    void Reset();
    // The longest the loop has gone beyond the interval since Start or Reset, in ms.
    qint64 WorstStallMs() const { return worstMs_; }

private:
    void Tick();

    QTimer timer_;
    QElapsedTimer clock_;
    qint64 lastMs_ = 0;
    qint64 worstMs_ = 0;
    int intervalMs_;
    int traceThresholdMs_;
};

} // namespace tunola
