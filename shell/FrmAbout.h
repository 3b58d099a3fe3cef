#pragma once
// TfrmAbout: the modal About box: the product's name, its version, a copyright line and two
// links (the project's page and the music service's page). UI thread only.

#include <QDialog>

#include "FileVersion.h"

#include <cstdint>

class QFrame;
class QLabel;
class QPushButton;

namespace tunola {

class TZuLinkLabel;

class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    // `projectUrl` and `serviceUrl` are the two links' addresses.
    TfrmAbout(const TFileVersion& version, const QString& projectUrl, const QString& serviceUrl,
              QWidget* parent = nullptr);

    // "版本 v" and the four parts joined by ".".
    static QString VersionText(const TFileVersion& version);

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    TZuLinkLabel* ZuLinkLabel1 = nullptr;
    TZuLinkLabel* ZuLinkLabel2 = nullptr;
    QFrame* Bevel1 = nullptr;
    QPushButton* Button1 = nullptr;

private:
    void FormCreate(const TFileVersion& version);
    void Button1Click();
};

} // namespace tunola
