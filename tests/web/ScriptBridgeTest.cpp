// The bridge's answers, read defensively (the page can change them); well-formed ones are RemoteWebHostTest's.

#include "web/ScriptBridge.h"

#include <QVariantList>
#include <QVariantMap>

#include <gtest/gtest.h>

using namespace vantory;
using Kind = ScriptBridge::Answer::Kind;

namespace {

TEST(ScriptBridge, ReadsAnswersAndPlainValuesAndDistrustsTheRest)
{
    const auto answer = [](const char* kind, const char* field = nullptr, QVariant value = {}) {
        QVariantMap map{{QStringLiteral("kind"), QString::fromUtf8(kind)}};
        if (field)
            map.insert(QString::fromUtf8(field), value);
        return QVariant(map);
    };
    const std::pair<QVariant, Kind> cases[] = {
        {answer("pending"), Kind::pending},
        {answer("started"), Kind::started},
        {answer("noEval"), Kind::noEval},
        {answer("lost"), Kind::lost},
        {QVariant(), Kind::lost}, // the document went away
        // Anything else is a malformed outcome.
        {QVariantList{1, 2}, Kind::outcome},
        {answer("done"), Kind::outcome},
        {QVariantMap{{QStringLiteral("kind"), 1}}, Kind::outcome},
        {answer("text", "text", 5), Kind::outcome},
        {answer("flag", "flag", QStringLiteral("true")), Kind::outcome},
        {answer("script"), Kind::outcome},
    };
    for (const auto& [value, kind] : cases) {
        const ScriptBridge::Answer read = ScriptBridge::read(value);
        EXPECT_EQ(read.kind, kind) << value.toString().toStdString();
        EXPECT_TRUE(kind != Kind::outcome
            || read.outcome == ScriptOutcome(PageError{PageError::Kind::script, "malformed script outcome"}));
    }
    // Where eval is blocked, a plain value comes back: a text, a flag or other.
    EXPECT_EQ(ScriptBridge::readPlain(QStringLiteral("x")), ScriptOutcome(ScriptValue{ScriptValue::Kind::text, "x"}));
    EXPECT_EQ(ScriptBridge::readPlain(true), ScriptOutcome(ScriptValue{ScriptValue::Kind::flag, {}, true}));
    for (const QVariant& value : {QVariant(), QVariant(1.5), QVariant(QVariantMap{})})
        EXPECT_EQ(ScriptBridge::readPlain(value), ScriptOutcome(ScriptValue{}));
}

} // namespace
