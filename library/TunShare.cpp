#include "TunShare.h"

#include "KeywordLink.h"
#include "WebPaneLoader.h"

#include <ShareLinks.h>
#include <ZuSkinnedForm.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <cstdio>

namespace tunola {

namespace {

// A panel without a bevel: a plain widget that paints its background colour.
QWidget* MakePanel(QWidget* parent, const char* name) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setAutoFillBackground(true);
    return panel;
}

// The search bar and the searching panel take the skin's page colour; their text is set to
// black or white, whichever reads on it (a dark skin would otherwise hide the captions).
void KeepTextReadable(QWidget& panel) {
    QPalette palette = panel.palette();
    const QColor back = palette.color(QPalette::Window);
    const QColor text = back.lightnessF() < 0.5 ? QColor(Qt::white) : QColor(Qt::black);
    if (palette.color(QPalette::WindowText) == text && palette.color(QPalette::ButtonText) == text)
        return;
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::ButtonText, text);
    panel.setPalette(palette);
}

// Lets `child` fill `parent`.
void Fill(QWidget* parent, QWidget* child) {
    auto* layout = new QVBoxLayout(parent);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(child);
}

QString ResultLine(int number, const TMusicSearchResult& r) {
    char head[32];
    std::snprintf(head, sizeof head, " %3d. ", number);
    return QString::fromLatin1(head) + QString::fromStdString(r.Title) + QStringLiteral(" - ") +
           QString::fromStdString(r.Artist);
}

} // namespace

TTunShare::TTunShare(TParts parts, QWidget* parent) : TZuFormEx(parent), parts_(std::move(parts)) {
    setObjectName(QStringLiteral("TunShare"));
    setWindowRole(QStringLiteral("TUNOLA SHARE"));
    setWindowTitle(QStringLiteral("听风 - 分享平台"));
    resize(772, 532);
    BuildComponents();
    Tell = [this](const QString& text) { QMessageBox::information(this, windowTitle(), text); };
}

TTunShare::~TTunShare() {
    // The worker's last call reaches a window that is gone: drop it (queued calls to a deleted
    // object are discarded) once the worker has ended.
    if (searchThread_.joinable())
        searchThread_.join();
    minWeb_.reset();
    webSearch_.reset();
}

void TTunShare::BuildComponents() {
    ZuWindow1 = MakeSkinBackground(*this);

    btn_back = MakeControl<TZuButton>(this, "btn_back", {8, 8, 25, 25});
    btn_forward = MakeControl<TZuButton>(this, "btn_forward", {40, 8, 25, 25});
    btn_refresh = MakeControl<TZuButton>(this, "btn_refresh", {72, 8, 25, 25});
    btn_min = MakeControl<TZuButton>(this, "btn_min", {672, 8, 25, 25});
    btn_max = MakeControl<TZuButton>(this, "btn_max", {704, 8, 25, 25});
    btn_close = MakeControl<TZuButton>(this, "btn_close", {736, 8, 25, 25});
    btn_back->OnClick = [this](QWidget&) { btn_backClick(); };
    btn_forward->OnClick = [this](QWidget&) { btn_forwardClick(); };
    btn_refresh->OnClick = [this](QWidget&) { btn_refreshClick(); };
    btn_min->OnClick = [this](QWidget&) { btn_minClick(); };
    btn_max->OnClick = [this](QWidget&) { btn_maxClick(); };
    btn_close->OnClick = [this](QWidget&) { btn_closeClick(); };

    tab_pnl = MakeControl<TZuTabControl>(this, "tab_pnl", {128, 8, 137, 21});
    tab_pnl->SetTabs({QStringLiteral("音乐分享"), QStringLiteral("音乐搜索")});
    tab_pnl->SetTabHeight(21);
    tab_pnl->SetTabSpacing(1);
    tab_pnl->SetAColor(0);
    tab_pnl->SetDColor(0);
    tab_pnl->OnTabChanged = [this](QWidget&) { tab_pnlTabChanged(); };

    pnl_psvs = MakePanel(this, "pnl_psvs");
    pnl_psvs->setGeometry(8, 48, 649, 361);
    auto* pages = new QVBoxLayout(pnl_psvs);
    pages->setContentsMargins(0, 0, 0, 0);
    pages->setSpacing(0);
    MinWeb = MakePanel(pnl_psvs, "MinWeb");
    pages->addWidget(MinWeb);
    BuildSearchPage();
    pages->addWidget(pnl_search);
    pnl_search->hide();

    SizeFromEdges(*this);
}

void TTunShare::BuildSearchPage() {
    pnl_search = MakePanel(pnl_psvs, "pnl_search");
    auto* column = new QVBoxLayout(pnl_search);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    pnl_top = MakePanel(pnl_search, "pnl_top");
    pnl_top->setFixedHeight(41);
    RadioButton1 = MakeControl<QRadioButton>(pnl_top, "RadioButton1", {24, 8, 49, 17});
    RadioButton1->setText(QStringLiteral("MP3"));
    RadioButton1->setChecked(true);
    // Kind 1 is every format other than MP3 that the service offers.
    RadioButton2 = MakeControl<QRadioButton>(pnl_top, "RadioButton2", {88, 8, 90, 17});
    RadioButton2->setText(QStringLiteral("OGG/FLAC"));
    edt_search = MakeControl<QLineEdit>(pnl_top, "edt_search", {205, 8, 204, 22});
    edt_search->setText(QString::fromUtf8(kSearchPrompt));
    // Enter in the search field searches, as the button does.
    connect(edt_search, &QLineEdit::returnPressed, this, [this] { SpeedButton1Click(); });
    SpeedButton1 = MakeControl<QToolButton>(pnl_top, "SpeedButton1", {421, 6, 81, 25});
    SpeedButton1->setText(QStringLiteral("搜索"));
    SpeedButton1->setAutoRaise(true);
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    column->addWidget(pnl_top);

    Panel1 = MakePanel(pnl_search, "Panel1");
    auto* row = new QHBoxLayout(Panel1);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    web_search = MakePanel(Panel1, "web_search");
    web_search->setFixedWidth(220);
    row->addWidget(web_search);
    auto* resultArea = new QWidget(Panel1);
    row->addWidget(resultArea, 1);
    lv_search = new TZuListBox(resultArea);
    lv_search->setObjectName(QStringLiteral("lv_search"));
    lv_search->SetAutoItemHeight(false);
    lv_search->SetItemHeight(22);
    lv_search->SetGUIStyle(lcgFlat);
    lv_search->SetMultiSelect(false);
    lv_search->SetColor(0xFFFFFF);
    lv_search->setFont(QFont(QStringLiteral("Tahoma"), 9));
    Fill(resultArea, lv_search);
    lbl_unavailable = new QLabel(QString::fromUtf8(kSearchUnavailable), resultArea);
    lbl_unavailable->setObjectName(QStringLiteral("lbl_unavailable"));
    lbl_unavailable->setAlignment(Qt::AlignCenter);
    lbl_unavailable->setAutoFillBackground(true);
    lbl_unavailable->hide();
    resultArea->layout()->addWidget(lbl_unavailable);
    lv_search->OnItemDlbClick = [this](QWidget&, int index) { lv_searchItemDlbClick(index); };
    column->addWidget(Panel1, 1);

    Panel2 = new QLabel(QString::fromUtf8(kSearching), pnl_search);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setAlignment(Qt::AlignCenter);
    Panel2->setAutoFillBackground(true);
    Panel2->hide();
    column->addWidget(Panel2, 1);

    for (QWidget* panel : {pnl_top, static_cast<QWidget*>(Panel2)}) {
        KeepTextReadable(*panel);
        panel->installEventFilter(this);
    }

    pm_search = new QMenu(this);
    pm_search->setObjectName(QStringLiteral("pm_search"));
    pm_s_add = pm_search->addAction(QStringLiteral("加入播放列表"));
    pm_s_add->setObjectName(QStringLiteral("pm_s_add"));
    pm_search->addSeparator()->setObjectName(QStringLiteral("N5"));
    pm_s_fx = pm_search->addAction(QStringLiteral("复制歌曲链接"));
    pm_s_fx->setObjectName(QStringLiteral("pm_s_fx"));
    connect(pm_s_add, &QAction::triggered, this, [this] { pm_s_addClick(); });
    connect(pm_s_fx, &QAction::triggered, this, [this] { pm_s_fxClick(); });
    // The right button opens the menu where it is released and leaves the selection as it is:
    // the commands act on the row last chosen with the left button or the keys.
    lv_search->SetPopupMenu(pm_search);
}

// ---------------------------------------------------------------------------------------------
// Browser panes

bool TTunShare::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::PaletteChange && (watched == pnl_top || watched == Panel2))
        KeepTextReadable(*static_cast<QWidget*>(watched));
    return TZuFormEx::eventFilter(watched, event);
}

void TTunShare::showEvent(QShowEvent* event) {
    TZuFormEx::showEvent(event);
    CreatePanes();
}

void TTunShare::CreatePanes() {
    if (panesTried_ || parts_.ProgramDir.empty())
        return;
    panesTried_ = true;
    std::string error;
    const TWebPaneFactory create = LoadWebPaneModule(parts_.ProgramDir, &error);
    if (!create) {
        std::fprintf(stderr, "tunola: the browser panes are not available: %s\n", error.c_str());
        return;
    }
    const std::string origin = parts_.ServiceBase ? parts_.ServiceBase() : std::string();
    TWebPaneOptions sharing;
    sharing.TrustedOrigin = origin;
    minWeb_.reset(create(MinWeb, &sharing));
    TWebPaneOptions sidebar;
    sidebar.TextSelection = false;
    sidebar.TrustedOrigin = origin;
    webSearch_.reset(create(web_search, &sidebar));
    if (!minWeb_ || !webSearch_) {
        minWeb_.reset();
        webSearch_.reset();
        return;
    }
    Fill(MinWeb, minWeb_->Widget());
    Fill(web_search, webSearch_->Widget());
    minWeb_->OnBeforeNavigate = [this](const std::string& a) { return MinWebBeforeNavigate2(a); };
    webSearch_->OnBeforeNavigate = [this](const std::string& a) {
        return web_searchBeforeNavigate2(a);
    };
    if (!pendingMinWeb_.isEmpty())
        minWeb_->Navigate(pendingMinWeb_);
    if (!pendingSearch_.isEmpty())
        webSearch_->Navigate(pendingSearch_);
}

void TTunShare::NavigateMinWeb(const QString& address) {
    pendingMinWeb_ = address;
    if (minWeb_)
        minWeb_->Navigate(address);
}

void TTunShare::NavigateSearch(const QString& address) {
    pendingSearch_ = address;
    if (webSearch_)
        webSearch_->Navigate(address);
}

bool TTunShare::MinWebBeforeNavigate2(const std::string& address) {
    if (address.substr(0, 5) != kShareScheme.substr(0, 5))
        return false;
    // A "qivra" address never navigates, whatever it carries.
    const std::string base = parts_.ServiceBase ? parts_.ServiceBase() : std::string();
    const std::optional<TShareLink> link =
        ParseShareLink(address, base + std::string(kShareBasePath));
    if (!link || link->FileName.empty() || !parts_.Host)
        return true;
    const int index = parts_.Host->AppendInternetEntry({link->FileName, link->Title, link->Artist});
    if (!base.empty())
        hot_.Send(base + std::string(kHotPath) + link->Identifier);
    if (link->Play && index >= 0)
        parts_.Host->PlayEntryNow(index);
    return true;
}

bool TTunShare::web_searchBeforeNavigate2(const std::string& address) {
    const std::optional<std::string> keyword = SearchKeywordOf(address);
    if (!keyword)
        return false;
    edt_search->setText(QString::fromStdString(*keyword));
    SpeedButton1Click();
    return true;
}

void TTunShare::btn_backClick() {
    if (minWeb_ && MinWeb->isVisible())
        minWeb_->GoBack();
}

void TTunShare::btn_forwardClick() {
    if (minWeb_ && MinWeb->isVisible())
        minWeb_->GoForward();
}

void TTunShare::btn_refreshClick() {
    if (minWeb_ && MinWeb->isVisible())
        minWeb_->Refresh();
}

// ---------------------------------------------------------------------------------------------
// The window

void TTunShare::btn_minClick() {
    showMinimized();
}

void TTunShare::btn_maxClick() {
    if (!isVisible() || isMinimized())
        return;
    unsetCursor();
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

void TTunShare::btn_closeClick() {
    close();
}

void TTunShare::closeEvent(QCloseEvent* event) {
    // Closing only hides: the pages, the results and the search survive until the player ends.
    if (parts_.Host)
        parts_.Host->ShareWindowClosed();
    hide();
    event->ignore();
}

void TTunShare::tab_pnlTabChanged() {
    const bool sharing = tab_pnl->ActiveTab() == 0;
    MinWeb->setVisible(sharing);
    pnl_search->setVisible(!sharing);
    for (TZuButton* b : {btn_back, btn_forward, btn_refresh})
        b->setEnabled(sharing);
}

// ---------------------------------------------------------------------------------------------
// Search

void TTunShare::ClearResultList() {
    lv_search->Items().Clear();
    results_.clear();
}

void TTunShare::SpeedButton1Click() {
    IMusicSearch* search = parts_.Search ? parts_.Search() : nullptr;
    ClearResultList();
    if (search)
        search->ClearResults();
    // One search at a time: a running one goes on and fills the list when it ends.
    if (searchThread_.joinable())
        return;
    lbl_unavailable->setVisible(!search);
    lv_search->setVisible(search != nullptr);
    if (!search)
        return;
    Panel1->hide();
    Panel2->show();
    const std::string text = edt_search->text().toStdString();
    const int32_t kind = RadioButton1->isChecked() ? 0 : 1;
    searchThread_ = std::thread([this, search, text, kind] {
        std::vector<TMusicSearchResult> found;
        try {
            search->Search(text, kind);
            const int32_t n = search->GetCount();
            for (int32_t i = 0; i < n; ++i)
                found.push_back(search->GetItem(i));
        } catch (...) {
            // Whatever failed, the list and the panels come back below.
        }
        QMetaObject::invokeMethod(
            this, [this, found = std::move(found)]() mutable { SearchFinished(std::move(found)); },
            Qt::QueuedConnection);
    });
}

void TTunShare::SearchFinished(std::vector<TMusicSearchResult> found) {
    if (searchThread_.joinable())
        searchThread_.join();
    QStringList lines;
    lines.reserve(qsizetype(found.size()));
    for (size_t i = 0; i < found.size(); ++i)
        lines.push_back(ResultLine(int(i) + 1, found[i]));
    lv_search->Items().AddStrings(lines);
    results_ = std::move(found);
    Panel2->hide();
    Panel1->show();
}

int TTunShare::SelectedRow() const {
    return lv_search->ItemIndex();
}

const TMusicSearchResult* TTunShare::ResultAt(int index) const {
    if (lv_search->Items().Count() == 0 || index < 0 || size_t(index) >= results_.size())
        return nullptr;
    return &results_[size_t(index)];
}

std::string TTunShare::SongUrlOf(const TMusicSearchResult& r) const {
    IMusicSearch* search = parts_.Search ? parts_.Search() : nullptr;
    return search ? search->GetSongUrl(r.LinkKey, r.LinkParam) : std::string();
}

void TTunShare::lv_searchItemDlbClick(int index) {
    const TMusicSearchResult* r = ResultAt(index);
    if (!r || !parts_.Host)
        return;
    const TMusicSearchResult result = *r;
    const std::string url = SongUrlOf(result);
    if (url.empty())
        return;
    const int added = parts_.Host->AppendInternetEntry({url, result.Title, result.Artist});
    if (added >= 0)
        parts_.Host->PlayEntryNow(added);
}

void TTunShare::pm_s_addClick() {
    lv_searchItemDlbClick(SelectedRow());
}

void TTunShare::pm_s_fxClick() {
    const TMusicSearchResult* r = ResultAt(SelectedRow());
    if (!r)
        return;
    const std::string url = SongUrlOf(*r);
    if (url.empty())
        return;
    const QString text = QString::fromStdString(url);
    QGuiApplication::clipboard()->setText(text);
    if (Tell)
        Tell(QString::fromUtf8(kCopied) + text);
}

} // namespace tunola
