#pragma once
// The main window's keys and the volume slider's wheel:
//   Space        play / pause          Left / Right   back / forward 5 seconds
//   Up / Down    volume ± 5            Ctrl+O         add music (the playlist's dialog)
//   wheel over the volume slider: ± 5 per notch (touchpads add up their small steps).
// Both go through the player's actions, so the bus and the controls hear of them.
// UI thread.

#include <QObject>

#include <functional>

namespace tunola {

class TPlayerActions;

inline constexpr int kSeekStepSeconds = 5;
inline constexpr int kVolumeStep = 5;

class TMainWindowKeys : public QObject {
    Q_OBJECT
public:
    // Watches key presses reaching `window` (also those its controls leave unhandled) and
    // wheel turns over `volume`. Both must outlive this object; it is a child of `window`.
    TMainWindowKeys(QWidget& window, QWidget& volume, TPlayerActions& actions,
                    std::function<void()> addFiles);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Key(int key, Qt::KeyboardModifiers modifiers);

    QWidget& volume_;
    TPlayerActions& actions_;
    std::function<void()> addFiles_;
    int wheelRest_ = 0; // eighths of a degree not yet turned into a step
};

} // namespace tunola
