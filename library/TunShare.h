#pragma once
// TTunShare: the music library window beside the main window. Two pages under a tab strip:
// "音乐分享", a browser pane with the service's sharing page, whose share links add a song to
// the playlist (and play it), and "音乐搜索", a search bar, a sidebar pane with the service's
// popular searches and the result list, whose rows can be added and played or have their
// address copied. Back, forward and refresh act on the sharing pane; min, max and close on the
// window, which is resized from its edges, snaps (Tag 0) and has its own taskbar entry.
//
// The browser panes come from a module loaded the first time the window shows (WebPane.h);
// until then Navigate only remembers the address.
//
// Threads: the window's handlers run on the UI thread. A search runs on one worker thread at a
// time (searchThread_): it calls Search, GetCount and GetItem and hands copies of the results
// back to the UI thread through a queued call; the window keeps those copies, so adding and
// copying never ask the search object for an index of another search. The popularity requests
// go through THotRequests' worker. The destructor joins both.

#include "HotRequests.h"
#include "ShareHost.h"
#include "WebPane.h"

#include <IMusicSearch.h>
#include <ZuButton.h>
#include <ZuForm.h>
#include <ZuListControl.h>
#include <ZuTabControl.h>
#include <ZuWindow.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class QLabel;
class QLineEdit;
class QMenu;
class QAction;
class QRadioButton;
class QToolButton;

namespace tunola {

class TTunShare : public TZuFormEx {
    Q_OBJECT
public:
    struct TParts {
        IShareHost* Host = nullptr;
        // The search object, null while there is none (a missing library).
        std::function<IMusicSearch*()> Search;
        // "http://" + the service's host; share links and popularity requests go there.
        std::function<std::string()> ServiceBase;
        // Where the browser-pane module is (with a trailing "/"); empty: the panes stay off.
        std::string ProgramDir;
    };

    static constexpr const char* kSearchPrompt = "输入歌名、歌手、专辑";
    static constexpr const char* kSearching = "正在搜索中.....";
    static constexpr const char* kSearchUnavailable = "音乐搜索服务不可用";
    static constexpr const char* kCopied = "歌曲地址已经复制！\r\n\r\n";

    explicit TTunShare(TParts parts, QWidget* parent = nullptr);
    ~TTunShare() override;

    // Points a pane at an address; before the panes exist, the address waits for them.
    void NavigateMinWeb(const QString& address);
    void NavigateSearch(const QString& address);
    // The panes exist (the module loaded and made them).
    bool PanesReady() const { return minWeb_ != nullptr; }
    IWebPane* MinWebPane() const { return minWeb_.get(); }
    IWebPane* SearchPane() const { return webSearch_.get(); }
    // A search worker runs.
    bool Searching() const { return searchThread_.joinable(); }
    // The results the list shows, row by row.
    const std::vector<TMusicSearchResult>& Results() const { return results_; }

    // Shows a message to the user (a message box; tests replace it).
    std::function<void(const QString& text)> Tell;

    // Components.
    TZuWindow* ZuWindow1 = nullptr;
    TZuButton* btn_back = nullptr;
    TZuButton* btn_forward = nullptr;
    TZuButton* btn_refresh = nullptr;
    TZuButton* btn_min = nullptr;
    TZuButton* btn_max = nullptr;
    TZuButton* btn_close = nullptr;
    TZuTabControl* tab_pnl = nullptr;
    QWidget* pnl_psvs = nullptr;
    QWidget* MinWeb = nullptr; // holds the sharing pane
    QWidget* pnl_search = nullptr;
    QWidget* pnl_top = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QLineEdit* edt_search = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QWidget* Panel1 = nullptr;
    QWidget* web_search = nullptr; // holds the sidebar pane
    TZuListBox* lv_search = nullptr;
    QLabel* lbl_unavailable = nullptr;
    QLabel* Panel2 = nullptr;
    QMenu* pm_search = nullptr;
    QAction* pm_s_add = nullptr;
    QAction* pm_s_fx = nullptr;

    // Handlers.
    void btn_backClick();
    void btn_forwardClick();
    void btn_refreshClick();
    void btn_minClick();
    void btn_maxClick();
    void btn_closeClick();
    void tab_pnlTabChanged();
    void SpeedButton1Click();
    void lv_searchItemDlbClick(int index);
    void pm_s_addClick();
    void pm_s_fxClick();
    // True cancels the navigation.
    bool MinWebBeforeNavigate2(const std::string& address);
    bool web_searchBeforeNavigate2(const std::string& address);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildComponents();
    void BuildSearchPage();
    void CreatePanes();
    void SearchFinished(std::vector<TMusicSearchResult> found);
    // The result of row `index` of the current search, or null.
    const TMusicSearchResult* ResultAt(int index) const;
    std::string SongUrlOf(const TMusicSearchResult& result) const;
    int SelectedRow() const;
    void ClearResultList();

    TParts parts_;
    std::unique_ptr<IWebPane> minWeb_;
    std::unique_ptr<IWebPane> webSearch_;
    QString pendingMinWeb_;
    QString pendingSearch_;
    bool panesTried_ = false;
    std::vector<TMusicSearchResult> results_;
    std::thread searchThread_;
    THotRequests hot_;
};

} // namespace tunola
