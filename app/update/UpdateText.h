#pragma once
// What the updater shows of the service's parameter: rich text in which every http or https
// address becomes a link and everything else stays plain, escaped text. The parameter comes
// from the network: nothing in it can add markup or a link of another kind. Pure; any thread.

#include <QString>
#include <QUrl>

namespace tunola {

// `parameter` as rich text for a label.
QString UpdateTextHtml(const QString& parameter);

// A link the dialog may hand to the desktop: an http or https address with a host.
bool IsWebAddress(const QUrl& url);

} // namespace tunola
