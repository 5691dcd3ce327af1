// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

class QWidget;

// The screens' lengths are drawn for the default font, 10 pt (13⅓ px at 96 dpi); with a larger
// font they grow in step, so the text that grows still fits its column and its window. A smaller
// font keeps them.
namespace vantory::Scale {

// The widget's font size over the design's, at least 1.
double factor(const QWidget* widget);
// A design length (points) at the widget's factor.
int length(const QWidget* widget, int design);
// `font`, `ratio` times as large, whether it was set in points or pixels.
QFont font(QFont font, double ratio);

} // namespace vantory::Scale
