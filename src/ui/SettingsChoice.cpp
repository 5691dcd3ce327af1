// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/SettingsChoice.h"

#include "ui/Scale.h"
#include "ui/SettingsRows.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QSignalBlocker>

namespace vantory {

SettingsChoice::SettingsChoice(const QString& title, Options options, QWidget* parent)
    : QWidget(parent)
    , options_(std::move(options))
    , picker_(new QComboBox(this))
{
    for (const auto& [text, value] : options_)
        picker_->addItem(text);
    picker_->setMinimumWidth(Scale::length(picker_, 220));
    picker_->setCurrentIndex(-1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(SettingsRows::row(title, {picker_}, this));
    connect(picker_, &QComboBox::activated, this, [this](int index) {
        if (index >= 0 && index < static_cast<int>(options_.size()))
            Q_EMIT chosen(options_[static_cast<std::size_t>(index)].second);
    });
}

void SettingsChoice::setOptions(Options options)
{
    if (options == options_)
        return;
    const std::string selected = selection();
    options_ = std::move(options);
    const QSignalBlocker quiet(picker_);
    picker_->clear();
    for (const auto& [text, value] : options_)
        picker_->addItem(text);
    setSelection(selected);
}

void SettingsChoice::setSelection(const std::string& value)
{
    int index = -1;
    for (std::size_t i = 0; i < options_.size(); ++i) {
        if (options_[i].second == value)
            index = static_cast<int>(i);
    }
    picker_->setCurrentIndex(index);
}

std::string SettingsChoice::selection() const
{
    const int index = picker_->currentIndex();
    return index < 0 ? std::string() : options_[static_cast<std::size_t>(index)].second;
}

} // namespace vantory
