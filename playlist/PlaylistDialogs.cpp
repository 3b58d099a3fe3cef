#include "PlaylistDialogs.h"

#include <QFileDialog>

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
    return dialogs;
}

QString QtFileFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList pairs;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        pairs.push_back(parts[i].trimmed() + QStringLiteral(" (") +
                        patterns.join(QLatin1Char(' ')).trimmed() + QLatin1Char(')'));
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
