#pragma once
// TOpenFT: the modal folder chooser "选择目录" of the lyric-folder command: a tree of folders
// only, from the root of the file system, opened down to the current folder; OK takes the
// selected folder, Cancel (or closing the window) keeps the old one. UI thread only.

#include <AppState.h>

#include <QDialog>

#include <functional>
#include <string>

class QFileSystemModel;
class QFrame;
class QPushButton;
class QTreeView;

namespace tunola {

class TOpenFT : public QDialog {
    Q_OBJECT
public:
    explicit TOpenFT(QWidget* parent = nullptr);

    // Selects `folder` (UTF-8) and opens the tree down to it; false, and nothing selected,
    // when it is not an existing folder.
    bool SelectFolder(const std::string& folder);
    // The selected folder with a trailing "/", or "" with no selection.
    std::string SelectedFolder() const;

    QFrame* Panel1 = nullptr;
    QTreeView* ShellTreeView1 = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCs = nullptr;

private:
    void btnOkClick();
    void btnCsClick();

    QFileSystemModel* model_ = nullptr;
    bool pendingScroll_ = false; // the selection is brought into view as folders are read
};

// The lyric-folder command: an empty LyricDir becomes UserDir + "lrc"; the chooser opens at
// LyricDir when that folder exists; OK with a selected folder stores it in LyricDir, OK
// without a selection, Cancel and closing keep the old value; LyricDir is then written to the
// configuration file ("Window/LRC" "PATH") in every case. `exec` shows the dialog modally
// (tests put their own in its place).
void ChooseLyricFolder(TAppState& state, const std::string& configFile, QWidget* parent,
                       const std::function<int(TOpenFT&)>& exec = {});

} // namespace tunola
