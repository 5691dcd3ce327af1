#pragma once

#include <QFrame>
#include <QString>

class QVBoxLayout;

namespace vantory {

// A titled panel grouping related settings: the title semibold at 14 px in the palette's text
// colour (so it reads on light and dark palettes), the content full width and leading-aligned.
class ReadableGroup : public QFrame {
    Q_OBJECT

public:
    explicit ReadableGroup(const QString& title, QWidget* parent = nullptr);

    // Where the grouped rows go; owned by the group.
    QVBoxLayout* content() const { return content_; }

private:
    QVBoxLayout* content_;
};

} // namespace vantory
