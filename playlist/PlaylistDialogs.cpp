#include "PlaylistDialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include <memory>

namespace tunola {

namespace {

std::unique_ptr<QFileDialog> MakeDialog(QWidget* parent, const QString& title,
                                        const QString& filter, const QString& folder) {
    auto dialog = std::make_unique<QFileDialog>(parent, title, folder, filter);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    return dialog;
}

} // namespace

TPlaylistDialogs ScreenDialogs() {
    auto folder = std::make_shared<QString>();
    TPlaylistDialogs dialogs;
    dialogs.OpenFiles = [folder](QWidget* parent, const QString& title, const QString& filter) {
        auto dialog = MakeDialog(parent, title, filter, *folder);
        dialog->setFileMode(QFileDialog::ExistingFiles);
        if (dialog->exec() != QDialog::Accepted)
            return QStringList();
        *folder = dialog->directory().absolutePath();
        return dialog->selectedFiles();
    };
    dialogs.OpenFile = [folder](QWidget* parent, const QString& title, const QString& filter) {
        auto dialog = MakeDialog(parent, title, filter, *folder);
        dialog->setFileMode(QFileDialog::ExistingFile);
        if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
            return QString();
        *folder = dialog->directory().absolutePath();
        return dialog->selectedFiles().first();
    };
    dialogs.SaveFile = [folder](QWidget* parent, const QString& title, const QString& filter,
                                const QString& defaultSuffix) {
        auto dialog = MakeDialog(parent, title, filter, *folder);
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->setDefaultSuffix(defaultSuffix);
        if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
            return QString();
        *folder = dialog->directory().absolutePath();
        return dialog->selectedFiles().first();
    };
    dialogs.OpenFolder = [folder](QWidget* parent, const QString& title) {
        auto dialog = MakeDialog(parent, title, QString(), *folder);
        dialog->setFileMode(QFileDialog::Directory);
        dialog->setOption(QFileDialog::ShowDirsOnly);
        if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
            return QString();
        *folder = dialog->directory().absolutePath();
        return dialog->selectedFiles().first();
    };
    dialogs.AskText = [](QWidget* parent, const QString& title, const QString& label) {
        return QInputDialog::getText(parent, title, label).trimmed();
    };
    dialogs.Message = [](QWidget* parent, const QString& title, const QString& text) {
        QMessageBox::warning(parent, title, text);
    };
    return dialogs;
}

QString QtFileFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList pairs;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& part : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString pattern = part.trimmed();
            patterns.push_back(pattern);
            if (pattern.toUpper() != pattern)
                patterns.push_back(pattern.toUpper());
        }
        pairs.push_back(parts[i].trimmed() + QStringLiteral(" (") +
                        patterns.join(QLatin1Char(' ')) + QLatin1Char(')'));
    }
    return pairs.join(QStringLiteral(";;"));
}

QStringList FilterPatterns(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList patterns;
    for (qsizetype i = 1; i < parts.size(); i += 2)
        for (const QString& pattern : parts[i].split(QLatin1Char(';'), Qt::SkipEmptyParts))
            if (!patterns.contains(pattern.trimmed()))
                patterns.push_back(pattern.trimmed());
    return patterns;
}

} // namespace tunola
