#include "ServiceWorkers.h"

#include "LyricUpload.h"
#include "ServiceAddress.h"
#include "TextCodec.h"
#include "UpdateCheck.h"

namespace tunola {

TWebBounds ServiceBounds() {
    TWebBounds b;
    b.connectMs = 3000;
    b.stallMs = 5000;
    b.totalMs = 15000;
    b.maxBytes = 64u << 10;
    return b;
}

TServiceWorkers::TServiceWorkers(TParts parts) : parts_(std::move(parts)) {}

TServiceWorkers::~TServiceWorkers() {
    Stop();
}

bool TServiceWorkers::StartServiceCheck() {
    return check_.Start([url = ServiceUrl(parts_.Host, kServiceCheckPath), bounds = parts_.Bounds,
                         poster = parts_.Poster](TWebCancel& cancel) {
        const bool online = HasServiceMarker(WebGet(url, bounds, &cancel));
        if (poster && !cancel.Cancelled())
            poster->Post(ncServiceChecked, online ? 1 : 0);
    });
}

bool TServiceWorkers::StartUpdateCheck() {
    return update_.Start([url = ServiceUrl(parts_.Host, kServiceCheckPath), bounds = parts_.Bounds,
                          poster = parts_.Poster, local = parts_.LocalVersion](TWebCancel& cancel) {
        const std::string answer = WebGet(url, bounds, &cancel);
        const std::optional<TUpdateOffer> offer = ParseUpdateAnswer(answer);
        if (!offer || !(local < offer->Version) || !poster || cancel.Cancelled())
            return;
        // The service speaks GBK; the parameter is shown to the user, so it becomes text here.
        poster->Post(ncUpdateOffered, static_cast<int64_t>(offer->Version & INT64_MAX),
                     QString::fromStdString(Gb18030ToUtf8(offer->Parameter)));
    });
}

bool TServiceWorkers::StartLyricUpload(std::string title, std::string artist, std::string lyric) {
    return upload_.Start([url = ServiceUrl(parts_.Host, kLyricUploadPath), bounds = parts_.Bounds,
                          title = std::move(title), artist = std::move(artist),
                          lyric = std::move(lyric)](TWebCancel& cancel) {
        WebPostForm(url, LyricUploadBody(title, artist, lyric), bounds, &cancel);
    });
}

void TServiceWorkers::Wait() {
    check_.Wait();
    update_.Wait();
    upload_.Wait();
}

void TServiceWorkers::Stop() {
    // All three are cancelled before any is waited for: the whole stop takes one call's
    // cancellation, not three.
    for (TWebWorker* w : {&check_, &update_, &upload_})
        w->Cancel();
    check_.Stop();
    update_.Stop();
    upload_.Stop();
}

} // namespace tunola
