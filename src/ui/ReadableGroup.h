// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>
#include <QString>

class QLabel;
class QVBoxLayout;

namespace vantory {

// A titled panel grouping related settings: the title semibold, a little larger than the text, in
// the palette's text colour (so it reads on light and dark palettes), the content full width and
// leading-aligned. Assistive technology meets a grouping named by the title (a plain frame would
// be taken for a window).
class ReadableGroup : public QFrame {
    Q_OBJECT

public:
    explicit ReadableGroup(const QString& title, QWidget* parent = nullptr);

    // An empty title shows none.
    void setTitle(const QString& title);
    // Where the grouped rows go; owned by the group.
    QVBoxLayout* content() const { return content_; }

private:
    QLabel* title_;
    QVBoxLayout* content_;
};

} // namespace vantory
