#include "UpdateDialog.h"

#include "UpdateText.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tunola {

TUpdateDialog::TUpdateDialog(const QString& parameter, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TUpdateDialog"));
    setWindowTitle(QStringLiteral("听风 - 软件更新"));

    auto* heading = new QLabel(QStringLiteral("听风有新版本了："), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);

    lbl_text = new QLabel(this);
    lbl_text->setObjectName(QStringLiteral("lbl_text"));
    lbl_text->setTextFormat(Qt::RichText);
    lbl_text->setWordWrap(true);
    lbl_text->setText(UpdateTextHtml(parameter));
    lbl_text->setTextInteractionFlags(Qt::TextBrowserInteraction);
    // The label never opens anything itself: only a web address goes to the desktop.
    lbl_text->setOpenExternalLinks(false);
    connect(lbl_text, &QLabel::linkActivated, this, [](const QString& link) {
        const QUrl url(link, QUrl::StrictMode);
        if (IsWebAddress(url))
            QDesktopServices::openUrl(url);
    });

    auto* hint = new QLabel(QStringLiteral("点击下载地址即可用浏览器下载新版本。"), this);
    hint->setVisible(lbl_text->text().contains(QLatin1String("<a href=")));

    auto* later = new QPushButton(QStringLiteral("以后再说"), this);
    later->setObjectName(QStringLiteral("btn_later"));
    later->setDefault(true);
    connect(later, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(later);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(lbl_text);
    layout->addWidget(hint);
    layout->addStretch();
    layout->addLayout(buttons);
    setMinimumWidth(360);
}

} // namespace tunola
