#include "TunPlayList.h"

#include "ItemExpansion.h"
#include "TrackReader.h"

#include <MoConfig.h>
#include <PlaylistStore.h>

#include <AtomicFile.h>
#include <ZuSkinnedForm.h>

#include <QDateTime>
#include <QDir>
#include <QDragEnterEvent>
#include <QLoggingCategory>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

// "every tag and length in at <ms since the epoch>" once an add's files are all read, for
// tools/measure-add.sh (QT_LOGGING_RULES="tunola.playlist.info=true").
Q_LOGGING_CATEGORY(lcPlaylistFill, "tunola.playlist", QtWarningMsg)

namespace tunola {

namespace {

constexpr int kTagRepeat = 1;
constexpr int kTagRandom = 2;
constexpr int kTagOneRepeat = 3;

// Ends an update bracket of the list however the work inside it ends.
class TUpdateBracket {
public:
    explicit TUpdateBracket(TZuPlaylistItems& items) : items_(items) { items_.BeginUpdate(); }
    ~TUpdateBracket() { items_.EndUpdate(); }
    TUpdateBracket(const TUpdateBracket&) = delete;
    TUpdateBracket& operator=(const TUpdateBracket&) = delete;

private:
    TZuPlaylistItems& items_;
};

QStringList LocalPaths(const QMimeData* data) {
    QStringList paths;
    if (data && data->hasUrls())
        for (const QUrl& url : data->urls())
            if (url.isLocalFile())
                paths.push_back(url.toLocalFile());
    return paths;
}

} // namespace

TTunPlayList::TTunPlayList(TAppState& state, tunaudio::TAudioLibrary* audio, IPlaylistHost& host,
                           QWidget* parent)
    : TZuFormEx(parent), Dialogs(ScreenDialogs()), state_(state), audio_(audio), host_(host) {
    setObjectName(QStringLiteral("TunPlayList"));
    setWindowRole(QStringLiteral("TUNOLA PLAYLIST"));
    setWindowTitle(QStringLiteral("播放列表"));
    setAcceptDrops(true);
    resize(466, 342);
    BuildComponents();
    filler_ = std::make_unique<TTrackFiller>(audio_, lv_list->Model());
    filler_->OnFilled = [this] { FillDone(); };
    filler_->OnCurrentFilled = [this] {
        if (OnCurrentFilled)
            OnCurrentFilled();
    };
    BuildMenu();
    FormCreate();
}

TTunPlayList::~TTunPlayList() = default;

void TTunPlayList::BuildComponents() {
    ZuWindow1 = MakeSkinBackground(*this);

    btn_menu = new TZuButton(this);
    btn_menu->setObjectName(QStringLiteral("btn_menu"));
    btn_menu->setGeometry(8, 8, 25, 25);
    btn_menu->OnClick = [this](QWidget&) { btn_menuClick(); };

    btn_close = new TZuButton(this);
    btn_close->setObjectName(QStringLiteral("btn_close"));
    btn_close->setGeometry(40, 8, 25, 25);
    btn_close->OnClick = [this](QWidget&) { btn_closeClick(); };

    lv_list = new TZuPlaylist(this);
    lv_list->setObjectName(QStringLiteral("lv_list"));
    lv_list->setGeometry(8, 37, 281, 92);
    lv_list->SetTimeFormat("nn:ss");
    lv_list->SetShowNumbers(true);
    lv_list->SetShowLength(true);
    lv_list->SetAutoHideScrollBar(true);
    lv_list->SetCurrentItem(-1);
    lv_list->SetBackColor(0xFFFFFFFF);
    lv_list->SetTextColor(0xFF000000);
    lv_list->SetTextCurrentColor(0xFF00FF00);
    lv_list->SetTextSelectedColor(0xFF000000);
    lv_list->SetSelectionColor(0xFF316AC5);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(12);
    lv_list->setFont(font);
    lv_list->OnDblClick = [this](QWidget&) { lv_listDblClick(); };
    // Enter plays the anchor row like a double click does, so that the row shown as playing
    // is the one that plays.
    lv_list->OnItemEnterKey = [this](QWidget&) { lv_listDblClick(); };
    lv_list->OnItemsMoved = [this](QWidget&) { lv_listItemsMoved(); };
    lv_list->OnDeleteKey = [this](QWidget&) { pml_delClick(); };
    lv_list->OnFilesDropped = [this](QWidget&, const QStringList& paths, int index) {
        AddPaths(paths, index);
    };

    SizeFromEdges(*this);
}

void TTunPlayList::BuildMenu() {
    pm_list = new QMenu(this);
    pm_list->setObjectName(QStringLiteral("pm_list"));
    auto item = [](QMenu* menu, const char* name, const QString& caption) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    pml_addfile = item(pm_list, "pml_addfile", QStringLiteral("添加音乐"));
    pml_addfolder = item(pm_list, "pml_addfolder", QStringLiteral("添加文件夹…"));
    pml_addurl = item(pm_list, "pml_addurl", QStringLiteral("添加网络地址…"));
    pm_list->addSeparator()->setObjectName(QStringLiteral("N4"));
    N2 = pm_list->addMenu(QStringLiteral("列表操作"));
    N2->setObjectName(QStringLiteral("N2"));
    pml_openlist = item(N2, "pml_openlist", QStringLiteral("打开播放列表"));
    pml_newlist = item(N2, "pml_newlist", QStringLiteral("新建播放列表"));
    pml_saveas = item(N2, "pml_saveas", QStringLiteral("另存为…"));
    N3 = pm_list->addMenu(QStringLiteral("播放模式"));
    N3->setObjectName(QStringLiteral("N3"));
    pml_repeat = item(N3, "pml_repeat", QStringLiteral("循环播放"));
    pml_rnd = item(N3, "pml_rnd", QStringLiteral("随机播放"));
    pml_onerepeat = item(N3, "pml_onerepeat", QStringLiteral("单曲循环"));
    pm_list->addSeparator()->setObjectName(QStringLiteral("N1"));
    pml_del = item(pm_list, "pml_del", QStringLiteral("删除选择"));
    pml_cls = item(pm_list, "pml_cls", QStringLiteral("清空列表"));

    const std::pair<QAction*, int> modes[] = {
        {pml_repeat, kTagRepeat}, {pml_rnd, kTagRandom}, {pml_onerepeat, kTagOneRepeat}};
    for (const auto& [action, tag] : modes) {
        action->setData(tag);
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, action] { pml_repeatClick(action); });
    }
    connect(pml_addfile, &QAction::triggered, this, [this] { pml_addfileClick(); });
    connect(pml_openlist, &QAction::triggered, this, [this] { pml_openlistClick(); });
    connect(pml_newlist, &QAction::triggered, this, [this] { pml_newlistClick(); });
    connect(pml_saveas, &QAction::triggered, this, [this] { pml_saveasClick(); });
    connect(pml_addfolder, &QAction::triggered, this, [this] { pml_addfolderClick(); });
    connect(pml_addurl, &QAction::triggered, this, [this] { pml_addurlClick(); });
    connect(pml_del, &QAction::triggered, this, [this] { pml_delClick(); });
    connect(pml_cls, &QAction::triggered, this, [this] { pml_clsClick(); });
}

void TTunPlayList::FormCreate() {
    LoadDefaultList(lv_list->Items(), state_.PlaylistFile);
    RebuildShuffle(shuffleOrder_, lv_list->Items());
    lv_list->SetPopupMenu(pm_list);
    CheckPlayModeItem();
}

void TTunPlayList::CheckPlayModeItem() {
    pml_repeat->setChecked(state_.PlayMode == pmRepeat);
    pml_rnd->setChecked(state_.PlayMode == pmRandom);
    pml_onerepeat->setChecked(state_.PlayMode == pmOneRepeat);
}

bool TTunPlayList::SaveList() {
    return tunola::SaveList(lv_list->Items(), state_.PlaylistFile);
}

bool TTunPlayList::AddFiles() {
    const QStringList files =
        Dialogs.OpenFiles ? Dialogs.OpenFiles(this, QString(), QtFileFilter(openFileFilter_))
                          : QStringList();
    if (files.isEmpty())
        return false;
    AddPaths(files, lv_list->Items().Count());
    return true;
}

void TTunPlayList::AddPaths(const QStringList& paths, int index) {
    const QStringList files = CollectAudioFiles(paths, FilterPatterns(openFileFilter_));
    std::vector<TListEntry> listed(size_t(files.size()));
    for (qsizetype i = 0; i < files.size(); ++i)
        listed[size_t(i)].Location = files[i].toStdString();
    AddListed(std::move(listed), index);
}

int TTunPlayList::AddListed(std::vector<TListEntry> listed, int index) {
    if (listed.empty())
        return 0;
    TZuPlaylistModel& model = lv_list->Model();
    TZuPlaylistItems& items = model.Items();
    const int oldCount = items.Count();
    const bool insert = index >= 0 && index < oldCount;
    std::vector<TFillJob> jobs;
    int added = 0;
    {
        TUpdateBracket bracket(items);
        try {
            if (insert)
                model.ClearSelection();
            jobs.reserve(listed.size());
            for (TListEntry& item : listed) {
                TZuPlaylistItem& entry = items.Add(PlaceholderEntry(item));
                entry.SetSelected(insert);
                ++added;
                if (!item.IsUrl)
                    jobs.push_back({entry.Serial(), std::move(item)});
            }
        } catch (...) {
            // Whatever was added stays, is read and is saved.
        }
        if (insert && added > 0) {
            // The new entries move into place the way dragged rows do, so the playing entry
            // stays current wherever it ends up; they stay selected where they landed.
            model.MoveSelectedTo(index);
            for (int i = index; i < index + added; ++i)
                items.GetItem(i)->SetSelected(true);
            model.SetSelectedIndex(index);
        }
    }
    if (insert && added > 0)
        FollowPlayingEntry();
    RebuildShuffle(shuffleOrder_, items);
    filler_->Add(std::move(jobs));
    // Streams alone have nothing to read; otherwise the list is written once the tags are in.
    if (!filler_->Busy())
        SaveList();
    return added;
}

void TTunPlayList::FillDone() {
    SaveList();
    qCInfo(lcPlaylistFill, "every tag and length in at %lld, %d entries",
           static_cast<long long>(QDateTime::currentMSecsSinceEpoch()), lv_list->Items().Count());
    if (OnFilled)
        OnFilled();
}

bool TTunPlayList::StopFilling(int boundMs) {
    return filler_->Stop(boundMs);
}

void TTunPlayList::FollowPlayingEntry() {
    // In random play PlayIndex counts through the random order, not the list.
    if (state_.PlayMode != pmRandom && lv_list->CurrentItem() >= 0)
        state_.PlayIndex = lv_list->CurrentItem();
}

void TTunPlayList::lv_listItemsMoved() {
    FollowPlayingEntry();
    RebuildShuffle(shuffleOrder_, lv_list->Items());
    SaveList();
}

void TTunPlayList::lv_listDblClick() {
    // Only a click on a row plays: a double click below the last entry leaves playback alone.
    const int row = lv_list->SelectedIndex();
    if (lv_list->CurrentItem() < 0 || row < 0 || row != lv_list->CurrentItem())
        return;
    host_.PlayEntry(row);
}

void TTunPlayList::pml_delClick() {
    // Deleting rows while the anchor is the playing entry stops it; a playing entry deleted
    // otherwise plays on.
    if (lv_list->CurrentItem() >= 0 && lv_list->SelectedIndex() == lv_list->CurrentItem())
        host_.StopPlayback();
    lv_list->DeleteItems(true);
    const int count = lv_list->Items().Count();
    if (lv_list->CurrentItem() < 0) {
        // Never below the first entry, so that play works again once entries come back.
        if (state_.PlayIndex >= count - 1)
            state_.PlayIndex = std::max(0, count - 1);
    } else {
        state_.PlayIndex = lv_list->CurrentItem();
    }
    RebuildShuffle(shuffleOrder_, lv_list->Items());
    SaveList();
}

bool TTunPlayList::RemoveEntry(int index) {
    TZuPlaylistModel& model = lv_list->Model();
    if (index < 0 || index >= model.Items().Count())
        return false;
    model.ClearSelection();
    model.SelectRange(index, index);
    model.SetSelectedIndex(index);
    pml_delClick();
    return true;
}

void TTunPlayList::pml_clsClick() {
    filler_->DropQueued();
    host_.StopPlayback();
    state_.PlayIndex = 0;
    lv_list->SelectAll();
    lv_list->DeleteItems(true);
    RebuildShuffle(shuffleOrder_, lv_list->Items());
    SaveList();
}

void TTunPlayList::pml_openlistClick() {
    const QString chosen = Dialogs.OpenFile ? Dialogs.OpenFile(this, QStringLiteral("打开播放列表"),
                                                               QtFileFilter(kOpenListFilter))
                                            : QString();
    if (chosen.isEmpty())
        return;
    // A list that does not read leaves the view and PlaylistFile as they were, so the list
    // on screen is never saved over it. Playback goes on either way.
    const TListFile file = ReadListFile(chosen);
    bool opened = false;
    if (file.Format == TListFormat::Native) {
        opened = OpenList(lv_list->Items(), state_.PlaylistFile, chosen.toStdString()) ==
                 TPlaylistLoad::Loaded;
        if (opened)
            filler_->DropQueued();
    }
    else if (file.Entries)
        opened = ImportList(chosen, *file.Entries);
    if (!opened) {
        Tell(QStringLiteral("打开播放列表"),
             QStringLiteral("无法读取“%1”：它不是可以打开的播放列表（支持本播放器的列表、M3U、"
                            "M3U8、PLS 和 XSPF）。文件没有改动。")
                 .arg(chosen));
        return;
    }
    RebuildShuffle(shuffleOrder_, lv_list->Items());
    WritePlaylistPath();
}

bool TTunPlayList::ImportList(const QString& chosen, const std::vector<TListEntry>& entries) {
    // The new list goes beside the user's others, named after the imported file; an existing
    // file of that name is never replaced.
    QString folder = QString::fromStdString(state_.UserDir);
    if (folder.isEmpty())
        folder = QFileInfo(QString::fromStdString(state_.PlaylistFile)).absolutePath();
    const QString base = QFileInfo(chosen).completeBaseName();
    QString target = QDir(folder).filePath(base + QStringLiteral(".pls"));
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = QDir(folder).filePath(QStringLiteral("%1 (%2).pls").arg(base).arg(n));

    // The new file is written first, with the list's own details: when it cannot be, the
    // list on screen stays. The files' tags follow as after an add, and are saved into it.
    TZuPlaylistModel model;
    for (const TListEntry& entry : entries)
        model.Items().Add(PlaceholderEntry(entry));
    if (!tunola::SaveList(model.Items(), target.toStdString()))
        return false;
    filler_->DropQueued();
    lv_list->Items().ClearAll();
    state_.PlaylistFile = target.toStdString();
    AddListed(entries, -1);
    return true;
}

void TTunPlayList::pml_saveasClick() {
    const QString chosen =
        Dialogs.SaveFile ? Dialogs.SaveFile(this, QStringLiteral("另存为…"),
                                            QtFileFilter(kExportFilter), QStringLiteral("m3u8"))
                         : QString();
    if (chosen.isEmpty())
        return;
    std::vector<TListEntry> entries;
    const TZuPlaylistItems& list = lv_list->Items();
    entries.reserve(size_t(list.Count()));
    for (int i = 0; i < list.Count(); ++i)
        entries.push_back(ListEntryOf(*list.GetItem(i)));
    const QString suffix = QFileInfo(chosen).suffix().toLower();
    const std::string bytes = suffix == QLatin1String("pls")    ? WritePls(entries)
                              : suffix == QLatin1String("xspf") ? WriteXspf(entries)
                                                                : WriteM3u8(entries);
    std::string error;
    if (!WriteFileAtomically(PathFromUtf8(chosen.toStdString()), bytes, &error))
        Tell(QStringLiteral("另存为…"),
             QStringLiteral("无法写入“%1”：%2").arg(chosen, QString::fromStdString(error)));
}

void TTunPlayList::pml_addfolderClick() {
    const QString folder =
        Dialogs.OpenFolder ? Dialogs.OpenFolder(this, QStringLiteral("添加文件夹…")) : QString();
    if (!folder.isEmpty())
        AppendItems({folder});
}

void TTunPlayList::pml_addurlClick() {
    const QString address = Dialogs.AskText
                                ? Dialogs.AskText(this, QStringLiteral("添加网络地址…"),
                                                  QStringLiteral("网络地址（http://…）："))
                                : QString();
    if (address.isEmpty())
        return;
    if (!IsStreamLocation(address) || AppendItems({address}) == 0)
        Tell(QStringLiteral("添加网络地址…"),
             QStringLiteral("“%1”不是可以播放的网络地址（http、https、ftp、mms 或 rtsp）。")
                 .arg(address));
}

void TTunPlayList::Tell(const QString& title, const QString& text) {
    if (Dialogs.Message)
        Dialogs.Message(this, title, text);
}

void TTunPlayList::pml_newlistClick() {
    const QString chosen = Dialogs.SaveFile
                               ? Dialogs.SaveFile(this, QStringLiteral("新建播放列表"),
                                                  QtFileFilter(kListFilter), QStringLiteral("pls"))
                               : QString();
    if (chosen.isEmpty())
        return;
    SaveList(); // the old list, to its own file
    state_.PlaylistFile = chosen.toStdString();
    WritePlaylistPath();
    pml_clsClick();
}

void TTunPlayList::pml_repeatClick(QAction* item) {
    pml_repeat->setChecked(false);
    pml_rnd->setChecked(false);
    pml_onerepeat->setChecked(false);
    TPlayMode mode = pmSingle;
    switch (item ? item->data().toInt() : 0) {
    case kTagRepeat:
        mode = state_.PlayMode != pmRepeat ? pmRepeat : pmSingle;
        break;
    case kTagRandom:
        mode = state_.PlayMode != pmRandom ? pmRandom : pmSingle;
        break;
    case kTagOneRepeat:
        mode = state_.PlayMode != pmOneRepeat ? pmOneRepeat : pmSingle;
        break;
    default:
        return;
    }
    // The mode in force, clicked again, is switched off: menu and mode always agree.
    SetPlayMode(mode);
}

void TTunPlayList::SetPlayMode(TPlayMode mode) {
    const bool changed = state_.PlayMode != mode;
    state_.PlayMode = mode;
    CheckPlayModeItem();
    if (changed && OnPlayModeChanged)
        OnPlayModeChanged();
}

int TTunPlayList::AppendItems(const QStringList& items) {
    return AddListed(ExpandItems(items, FilterPatterns(openFileFilter_)), -1);
}

int TTunPlayList::AppendInternetEntry(std::string fileName, std::string title, std::string artist) {
    TZuPlaylistItem entry;
    entry.SetISURL(true);
    entry.SetCaption(title + " - " + artist);
    entry.SetFileName(std::move(fileName));
    entry.SetTitle(std::move(title));
    entry.SetArtist(std::move(artist));
    entry.SetLongTime(0);
    TZuPlaylistItems& list = lv_list->Items();
    {
        TUpdateBracket bracket(list);
        list.Add(std::move(entry));
    }
    RebuildShuffle(shuffleOrder_, list);
    SaveList();
    return list.Count() - 1;
}

void TTunPlayList::WritePlaylistPath() {
    // Nothing reads this copy; a program folder the user cannot write to is no error.
    TMoConfig config(state_.ProgramDir + "tunola.xml", "TUNOLA.CONFIG");
    config.WriteString("Window/PList", "PATH", state_.PlaylistFile);
}

void TTunPlayList::btn_menuClick() {
    pm_list->popup(btn_menu->mapToGlobal(QPoint(0, btn_menu->height())));
}

void TTunPlayList::btn_closeClick() {
    host_.SetListButtonChecked(false);
    hide();
}

void TTunPlayList::dragEnterEvent(QDragEnterEvent* event) {
    if (LocalPaths(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void TTunPlayList::dropEvent(QDropEvent* event) {
    const QStringList paths = LocalPaths(event->mimeData());
    if (paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    AddPaths(paths, lv_list->Items().Count());
}

} // namespace tunola
