// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/Store.h"

#include "SampleDatabase.h"
#include "support/SiteScope.h"
#include "support/TemporaryFolder.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace vantory::test {

// A screen's Store over a state file of its own, on test hosts, with a config folder of its own.
class ScreenTest : public ::testing::Test {
protected:
    explicit ScreenTest(Instant start)
        : start(start)
    {
        qputenv("XDG_CONFIG_HOME", QString::fromStdString((folder / "config").string()).toUtf8());
    }
    void load(Database db)
    {
        store.update([&](Database& stored) { stored = std::move(db); });
    }
    // What a fresh start reads from the state file.
    Database saved() const { return Store(store.statePath(), start).db(); }

    const Instant start;
    SiteScope sites;
    TemporaryFolder folder;
    Store store{folder / "state.json", start};
};

// Screens rebuild after the Store's notification, on the next turn of the loop: looked up after it.
template <typename Widget> Widget* child(const QWidget* parent, const std::string& name)
{
    QCoreApplication::processEvents();
    auto* found = parent->findChild<Widget*>(QString::fromStdString(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

inline QString labels(const QWidget* parent)
{
    QCoreApplication::processEvents();
    QStringList texts;
    for (const QLabel* label : parent->findChildren<QLabel*>())
        texts << label->text();
    return texts.join(u'\n');
}

} // namespace vantory::test
