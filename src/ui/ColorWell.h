// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QToolButton>

#include <string>

class QColorDialog;

namespace vantory {

// A swatch of a settings colour (six hex digits) that opens a colour dialog when pressed and
// reports the chosen colour as hex text. It only presents: the caller stores the colour.
class ColorWell : public QToolButton {
    Q_OBJECT

public:
    // `name` is what assistive technology reads and the dialog's title.
    explicit ColorWell(const QString& name, QWidget* parent = nullptr);

    void setHex(const std::string& hex);
    const std::string& hex() const { return hex_; }
    // The open dialog, if any; owned by this well.
    QColorDialog* dialog() const { return dialog_; }

Q_SIGNALS:
    void colorChosen(const std::string& hex);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void openDialog();

    std::string hex_ = "FFFFFF";
    QColorDialog* dialog_ = nullptr;
};

} // namespace vantory
