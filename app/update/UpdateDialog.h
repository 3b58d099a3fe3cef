#pragma once
// The updater's one window: the service's news of a new version, with its download address as
// a link the desktop opens, and "以后再说" to close it.

#include <QDialog>

class QLabel;

namespace tunola {

class TUpdateDialog : public QDialog {
    Q_OBJECT
public:
    explicit TUpdateDialog(const QString& parameter, QWidget* parent = nullptr);

    QLabel* lbl_text = nullptr;
};

} // namespace tunola
