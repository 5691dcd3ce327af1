// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPushButton>

namespace vantory {

// One option of a segmented picker: checkable and exclusive among its siblings, so assistive
// technology meets a radio button, checked when chosen. The checked one is drawn flat in the
// selection's colours (selectedItemColors), since a style's shading of a button would lighten the
// highlight under the text (Fusion's by about a fifth); the others are the style's own buttons.
class SegmentButton : public QPushButton {
public:
    explicit SegmentButton(const QString& text, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace vantory
