#include "OpenFT.h"

#include <AtomicFile.h>
#include <MoConfig.h>
#include <StartupSettings.h>

#include <QFileSystemModel>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QTreeView>

#include <filesystem>

namespace tunola {

TOpenFT::TOpenFT(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("OpenFT"));
    setWindowTitle(QStringLiteral("选择目录"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(312, 265);
    setFont(QFont(QStringLiteral("Tahoma"), 8));

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->setGeometry(8, 8, 297, 209);

    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    model_->setReadOnly(true);
    model_->setRootPath(QDir::rootPath());

    ShellTreeView1 = new QTreeView(Panel1);
    ShellTreeView1->setObjectName(QStringLiteral("ShellTreeView1"));
    ShellTreeView1->setGeometry(8, 8, 281, 193);
    ShellTreeView1->setModel(model_);
    ShellTreeView1->setHeaderHidden(true);
    for (int c = 1; c < model_->columnCount(); ++c)
        ShellTreeView1->hideColumn(c);
    ShellTreeView1->setIndentation(19);
    ShellTreeView1->setSelectionMode(QAbstractItemView::SingleSelection);
    // The model reads folders in the background: each folder on the way down is shown open
    // once it is read, and the selection is brought into view again.
    connect(model_, &QFileSystemModel::directoryLoaded, this, [this](const QString&) {
        const QModelIndex current = ShellTreeView1->currentIndex();
        if (!current.isValid() || !pendingScroll_)
            return;
        for (QModelIndex p = current.parent(); p.isValid(); p = p.parent())
            ShellTreeView1->expand(p);
        ShellTreeView1->scrollTo(current, QAbstractItemView::PositionAtCenter);
    });
    connect(ShellTreeView1, &QTreeView::clicked, this, [this] { pendingScroll_ = false; });

    btnOk = new QPushButton(QStringLiteral("确定"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setGeometry(144, 232, 75, 25);
    btnOk->setDefault(true);
    btnCs = new QPushButton(QStringLiteral("取消"), this);
    btnCs->setObjectName(QStringLiteral("btnCs"));
    btnCs->setGeometry(224, 232, 75, 25);
    connect(btnOk, &QPushButton::clicked, this, &TOpenFT::btnOkClick);
    connect(btnCs, &QPushButton::clicked, this, &TOpenFT::btnCsClick);

    // Centred on the desktop.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

bool TOpenFT::SelectFolder(const std::string& folder) {
    std::error_code ec;
    if (folder.empty() || !std::filesystem::is_directory(PathFromUtf8(folder), ec)) {
        ShellTreeView1->clearSelection();
        ShellTreeView1->setCurrentIndex({});
        return false;
    }
    QString path = QDir::cleanPath(QString::fromStdString(folder));
    const QModelIndex index = model_->index(path);
    if (!index.isValid())
        return false;
    for (QModelIndex p = index.parent(); p.isValid(); p = p.parent())
        ShellTreeView1->expand(p);
    ShellTreeView1->setCurrentIndex(index);
    ShellTreeView1->scrollTo(index, QAbstractItemView::PositionAtCenter);
    pendingScroll_ = true;
    return true;
}

std::string TOpenFT::SelectedFolder() const {
    const QModelIndexList selected = ShellTreeView1->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return {};
    const QString path = model_->filePath(selected.first());
    return path.isEmpty() ? std::string() : WithTrailingSlash(path.toStdString());
}

void TOpenFT::btnOkClick() {
    accept();
}

void TOpenFT::btnCsClick() {
    reject();
}

void ChooseLyricFolder(TAppState& state, const std::string& configFile, QWidget* parent,
                       const std::function<int(TOpenFT&)>& exec) {
    TOpenFT dialog(parent);
    TMoConfig config(configFile, kConfigRoot);
    if (state.LyricDir.empty())
        state.LyricDir = state.UserDir + "lrc";
    dialog.SelectFolder(state.LyricDir);
    const int result = exec ? exec(dialog) : dialog.exec();
    if (result == QDialog::Accepted) {
        // Nothing selected keeps the folder: an empty lyric folder would break saving lyrics.
        if (std::string chosen = dialog.SelectedFolder(); !chosen.empty())
            state.LyricDir = std::move(chosen);
    }
    // Written whether the user chose a folder or not.
    config.WriteString("Window/LRC", "PATH", state.LyricDir);
}

} // namespace tunola
