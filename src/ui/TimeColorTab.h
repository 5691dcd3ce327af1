#pragma once

#include <QWidget>

#include <functional>
#include <string>

class QGridLayout;
class QLayout;

namespace vantory {

class ColorWell;
class ReadableGroup;
class Store;
struct PairedColorRule;
struct Settings;

// One tab of the settings screens, built from the Store's current values; the screen builds a
// fresh one whenever the Store changes. Every control writes through Store::update.
class TimeColorTab : public QWidget {
    Q_OBJECT

public:
    explicit TimeColorTab(Store& store, QWidget* parent = nullptr);

private:
    ReadableGroup* linkGroup();
    ReadableGroup* rulesGroup();
    void addRuleRow(QGridLayout& grid, int index, const PairedColorRule& rule, QWidget* group);
    QLayout* otherColorsRow(QWidget* group);
    QLayout* ruleActions(QWidget* group);

    bool linked() const;
    void edit(const std::function<void(Settings&)>& change);
    void editRule(const std::string& id, const std::function<void(PairedColorRule&)>& change);
    ColorWell* well(const QString& name, const QString& objectName, const std::string& hex,
        std::function<void(const std::string&)> commit, QWidget* parent);

    Store& store_;
};

} // namespace vantory
