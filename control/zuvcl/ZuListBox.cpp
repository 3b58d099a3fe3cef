// TZuListBox and the strings behind its Items.

#include "ZuListControl.h"

#include <QEvent>
#include <QFontMetrics>

namespace tunola {

TZuListBox::TZuListBox(QWidget* parent) : TIGUIListControl(parent) {
    SetColor(0xFFFFFF); // white
}

QString TZuListBox::ItemText(int index) const {
    return index >= 0 && index < items_.Count() ? items_[index] : QString();
}

void TZuListBox::SetAutoItemHeight(bool autoItemHeight) {
    if (autoItemHeight == autoItemHeight_)
        return;
    autoItemHeight_ = autoItemHeight;
    ApplyAutoItemHeight();
}

void TZuListBox::ApplyAutoItemHeight() {
    if (!autoItemHeight_ || !isVisible())
        return;
    const int extra = GUIStyle() == lcgIintaglio ? 0 : 4;
    TZuBitmapEx32 measure;
    measure.SetFont(font());
    SetItemHeight(std::max(1, measure.TextExtent(QStringLiteral("H")).height() + extra));
}

void TZuListBox::showEvent(QShowEvent* event) {
    TIGUIListControl::showEvent(event);
    ApplyAutoItemHeight();
}

void TZuListBox::changeEvent(QEvent* event) {
    TIGUIListControl::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        ApplyAutoItemHeight();
}

// --- TZuListControlString -------------------------------------------------------------------

int TZuListControlString::Add(const QString& s) {
    strings_.append(s);
    owner_.RowsInserted(Count() - 1, 1);
    return Count() - 1;
}

void TZuListControlString::AddStrings(const QStringList& strings) {
    if (strings.isEmpty())
        return;
    const int at = Count();
    strings_.append(strings);
    owner_.RowsInserted(at, int(strings.size()));
}

void TZuListControlString::Insert(int index, const QString& s) {
    if (index < 0 || index > Count())
        return;
    strings_.insert(index, s);
    owner_.RowsInserted(index, 1);
}

void TZuListControlString::Delete(int index) {
    if (index < 0 || index >= Count())
        return;
    strings_.removeAt(index);
    owner_.RowDeleted(index);
}

void TZuListControlString::Move(int from, int to) {
    if (from < 0 || to < 0 || from >= Count() || to >= Count() || from == to)
        return;
    strings_.move(from, to);
    owner_.RowMoved(from, to);
}

void TZuListControlString::Put(int index, const QString& s) {
    if (index < 0 || index >= Count())
        return;
    strings_[index] = s;
    owner_.RowChanged(index);
}

void TZuListControlString::Clear() {
    strings_.clear();
    owner_.RowsCleared();
}

void TZuListControlString::Assign(const QStringList& strings) {
    strings_ = strings;
    owner_.RowsReplaced(Count());
}

QString TZuListControlString::Text() const {
    QString text;
    for (const QString& s : strings_) {
        text += s;
        text += QLatin1Char('\n');
    }
    return text;
}

void TZuListControlString::SetText(const QString& text) {
    QString normal = text;
    normal.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = normal.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    Assign(lines);
}

} // namespace tunola
