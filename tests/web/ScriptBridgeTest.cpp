// What the page's bridge scripts answer, read defensively: the page can reach the bridge's objects
// on window and change them.

#include "web/ScriptBridge.h"

#include <QVariantList>
#include <QVariantMap>

#include <gtest/gtest.h>

using namespace vantory;
using Kind = ScriptBridge::Answer::Kind;

namespace {

QVariant answer(std::initializer_list<std::pair<const char*, QVariant>> fields)
{
    QVariantMap map;
    for (const auto& [key, value] : fields)
        map.insert(QString::fromUtf8(key), value);
    return map;
}

TEST(ScriptBridge, ReadsEveryAnswerAndDistrustsTheRest)
{
    const ScriptOutcome malformed = PageError{PageError::Kind::script, "malformed script outcome"};
    const struct {
        const char* why;
        QVariant answer;
        Kind kind;
        ScriptOutcome outcome;
    } cases[] = {
        // Well-formed outcomes go through the real worker in RemoteWebHostTest.
        {"pending", answer({{"kind", QStringLiteral("pending")}}), Kind::pending, ScriptValue{}},
        {"started", answer({{"kind", QStringLiteral("started")}}), Kind::started, ScriptValue{}},
        {"eval forbidden", answer({{"kind", QStringLiteral("noEval")}}), Kind::noEval, ScriptValue{}},
        {"document gone", answer({{"kind", QStringLiteral("lost")}}), Kind::lost, ScriptValue{}},
        {"no answer at all", QVariant(), Kind::lost, ScriptValue{}},
        {"a bare value", QStringLiteral("text"), Kind::outcome, malformed},
        {"a list", QVariantList{1, 2}, Kind::outcome, malformed},
        {"unknown kind", answer({{"kind", QStringLiteral("done")}}), Kind::outcome, malformed},
        {"kind not a text", answer({{"kind", 1}}), Kind::outcome, malformed},
        {"text of a number", answer({{"kind", QStringLiteral("text")}, {"text", 5}}), Kind::outcome, malformed},
        {"flag of a text", answer({{"kind", QStringLiteral("flag")}, {"flag", QStringLiteral("true")}}), Kind::outcome,
            malformed},
        {"throw without message", answer({{"kind", QStringLiteral("script")}}), Kind::outcome, malformed},
    };
    for (const auto& c : cases) {
        const ScriptBridge::Answer read = ScriptBridge::read(c.answer);
        EXPECT_EQ(read.kind, c.kind) << c.why;
        if (c.kind == Kind::outcome) {
            EXPECT_EQ(read.outcome, c.outcome) << c.why;
        }
    }
}

TEST(ScriptBridge, APlainValueIsATextAFlagOrOther)
{
    const ScriptOutcome text = ScriptValue{ScriptValue::Kind::text, "x"};
    const ScriptOutcome flag = ScriptValue{ScriptValue::Kind::flag, {}, true};
    const ScriptOutcome other = ScriptValue{};
    EXPECT_EQ(ScriptBridge::readPlain(QStringLiteral("x")), text);
    EXPECT_EQ(ScriptBridge::readPlain(true), flag);
    for (const QVariant& value : {QVariant(), QVariant(1.5), QVariant(QVariantMap{})})
        EXPECT_EQ(ScriptBridge::readPlain(value), other);
}

} // namespace
