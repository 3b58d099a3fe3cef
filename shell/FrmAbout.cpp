#include "FrmAbout.h"

#include <ZuLinkLabel.h>

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace tunola {

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y,
                  const QFont& font) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setFont(font);
    l->move(x, y);
    l->adjustSize();
    return l;
}

TZuLinkLabel* MakeLink(QWidget* parent, const char* name, const QString& caption,
                       const QString& url, int x, int y) {
    auto* l = new TZuLinkLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setText(caption);
    l->SetURL(url);
    l->setToolTip(url);
    l->move(x, y);
    l->adjustSize();
    return l;
}

} // namespace

TfrmAbout::TfrmAbout(const TFileVersion& version, const QString& projectUrl,
                     const QString& serviceUrl, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("关于云雀"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(370, 181);
    const QString tahoma = QStringLiteral("Tahoma");
    setFont(QFont(tahoma, 8));

    QFont title(tahoma, 14);
    title.setBold(true);
    Label1 = MakeLabel(this, "Label1", QStringLiteral("听风 （云雀 2）"), 8, 16, title);
    Label3 = MakeLabel(this, "Label3", QStringLiteral("ver 2.0"), 8, 50, QFont(tahoma, 9));
    Label2 = MakeLabel(this, "Label2", QStringLiteral("Copyright © 2026 听风开发组  保留所有权利"),
                       8, 80, QFont(tahoma, 9));
    ZuLinkLabel1 = MakeLink(this, "ZuLinkLabel1", QStringLiteral("项目主页"), projectUrl, 8, 104);
    ZuLinkLabel2 =
        MakeLink(this, "ZuLinkLabel2", QStringLiteral("云雀音乐服务"), serviceUrl, 120, 104);

    // A separator line along the bottom of its box.
    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setGeometry(3, 120 + 9 - 2, 366, 2);
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);

    Button1 = new QPushButton(QStringLiteral("确定(&O)"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(147, 144, 75, 25);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TfrmAbout::Button1Click);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    FormCreate(version);
}

QString TfrmAbout::VersionText(const TFileVersion& v) {
    return QStringLiteral("版本 v%1.%2.%3.%4")
        .arg(v.Major)
        .arg(v.Minor)
        .arg(v.Release)
        .arg(v.Build);
}

void TfrmAbout::FormCreate(const TFileVersion& version) {
    Label3->setText(VersionText(version));
    Label3->adjustSize();
}

void TfrmAbout::Button1Click() {
    accept();
}

} // namespace tunola
