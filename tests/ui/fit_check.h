#pragma once
// What a user sees cut off in a window, found from the widgets themselves: a table whose
// columns do not all fit its view, a column narrower than its title or its cells (unless the
// cell's whole text is its tip), a wrapping cell that would break a word in two, a label or a
// button narrower than its text, a widget reaching past the window's edge, a window larger
// than the screen. Each fault is a line naming it.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QStringList>
#include <QTableView>
#include <QTextDocument>
#include <QWidget>

namespace fitcheck {

inline QString Name(const QWidget* w) {
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
}

// Visible on screen: the widget and every parent up to the window shown.
inline bool Shown(const QWidget* w) { return w->isVisibleTo(w->window()) && w->window()->isVisible(); }

// A cell's or title's text wider than its column, where no tip carries it whole.
inline void CheckColumns(const QTableView* table, QStringList& faults) {
    const QAbstractItemModel* model = table->model();
    const QHeaderView* header = table->horizontalHeader();
    if (model == nullptr || header->isHidden()) return;
    if (header->length() > table->viewport()->width())
        faults << QStringLiteral("%1: columns %2 px wide in a view of %3 px").arg(Name(table)).arg(header->length()).arg(table->viewport()->width());
    const QFontMetrics cells = table->fontMetrics();
    constexpr int kCellMargins = 6;  // the text's margins in a cell, both sides
    for (int c = 0; c < model->columnCount(); ++c) {
        if (header->isSectionHidden(c)) continue;
        const int width = table->columnWidth(c);
        const QString title = model->headerData(c, Qt::Horizontal).toString();
        for (const QString& line : title.split('\n'))
            if (header->fontMetrics().horizontalAdvance(line) + kCellMargins > width)
                faults << QStringLiteral("%1: column %2 title \"%3\" cut at %4 px").arg(Name(table)).arg(c).arg(line).arg(width);
        const int rows = std::min(model->rowCount(), 400);
        for (int r = 0; r < rows; ++r) {
            const QModelIndex at = model->index(r, c);
            const QString text = at.data().toString();
            const bool tipWhole = at.data(Qt::ToolTipRole).toString() == text;
            if (!tipWhole && cells.horizontalAdvance(text) + kCellMargins > width)
                faults << QStringLiteral("%1: cell (%2, %3) \"%4\" cut at %5 px").arg(Name(table)).arg(r).arg(c).arg(text).arg(width);
            // A wrapping view breaks a word wider than its column in two.
            if (table->wordWrap())
                for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                    if (cells.horizontalAdvance(word) + kCellMargins > width)
                        faults << QStringLiteral("%1: cell (%2, %3) breaks the word \"%4\" at %5 px").arg(Name(table)).arg(r).arg(c).arg(word).arg(width);
        }
    }
}

// A label's text wider or taller than the label.
inline void CheckLabel(const QLabel* label, QStringList& faults) {
    const QString text = label->text();
    if (text.isEmpty() || !label->pixmap().isNull()) return;
    const QRect room = label->contentsRect();
    if (label->wordWrap() || Qt::mightBeRichText(text)) {
        const int needed = label->heightForWidth(label->width());
        if (needed > label->height())
            faults << QStringLiteral("%1: text needs %2 px of height, has %3").arg(Name(label)).arg(needed).arg(label->height());
        return;
    }
    for (const QString& line : text.split('\n')) {
        const int needed = label->fontMetrics().horizontalAdvance(QString(line).remove('&'));
        if (needed > room.width())
            faults << QStringLiteral("%1: \"%2\" needs %3 px, has %4").arg(Name(label), line).arg(needed).arg(room.width());
    }
}

// A button taller than twice its width has its text drawn upwards along its height.
inline void CheckButton(const QAbstractButton* button, QStringList& faults) {
    if (button->text().isEmpty()) return;
    const int needed = button->fontMetrics().horizontalAdvance(QString(button->text()).remove('&'));
    const int along = button->height() > 2 * button->width() ? button->height() : button->width();
    if (needed > along)
        faults << QStringLiteral("%1: \"%2\" needs %3 px, has %4").arg(Name(button), button->text()).arg(needed).arg(button->width());
}

// Every fault of the window as it is shown now.
inline QStringList Faults(QWidget* window) {
    QStringList faults;
    if (const QScreen* screen = window->screen(); screen != nullptr) {
        const QSize available = screen->availableSize();
        if (window->width() > available.width() || window->height() > available.height())
            faults << QStringLiteral("%1: %2×%3 on a screen of %4×%5").arg(Name(window)).arg(window->width()).arg(window->height())
                          .arg(available.width()).arg(available.height());
    }
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!Shown(w) || w->window() != window) continue;
        // A widget inside a scrolled area may leave the window; anything else may not.
        const QRect at(w->mapTo(window, QPoint(0, 0)), w->size());
        const bool scrolled = w->parentWidget() != nullptr && w->parentWidget()->objectName() == QLatin1String("qt_scrollarea_viewport");
        if (!scrolled && !window->rect().contains(at))
            faults << QStringLiteral("%1: at %2,%3 %4×%5 leaves the window").arg(Name(w)).arg(at.x()).arg(at.y()).arg(at.width()).arg(at.height());
        if (auto* table = qobject_cast<QTableView*>(w)) CheckColumns(table, faults);
        else if (auto* label = qobject_cast<QLabel*>(w)) CheckLabel(label, faults);
        else if (auto* button = qobject_cast<QAbstractButton*>(w)) CheckButton(button, faults);
    }
    return faults;
}

}  // namespace fitcheck
