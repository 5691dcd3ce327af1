// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/ScriptBridge.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QVariantMap>

namespace vantory::ScriptBridge {

namespace {

// text as a JavaScript string literal (JSON's string syntax is a subset of it).
QString literal(const QString& text)
{
    const QByteArray json = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.mid(1, json.size() - 2));
}

// The parts every bridge script shares. describe() turns anything thrown into its message the way
// the application reports it; classify() keeps only what the application reads of a value.
const QString helpers = QStringLiteral(R"JS(
    var describe = function (e) {
        try { return String(e && e.message || e); } catch (inner) { return 'exception'; }
    };
    var classify = function (value) {
        if (typeof value === 'string') return {kind: 'text', text: value};
        if (typeof value === 'boolean') return {kind: 'flag', flag: value};
        return {kind: 'other'};
    };
    var evalAllowed = function () {
        try { (0, eval)('0'); return true; } catch (e) { return false; }
    };
)JS");

// Starts an async call whose function comes from %2 and settles under the token %1.
QString asyncStarter(const QString& makeFunction)
{
    return QStringLiteral("(function (token) {") + helpers + makeFunction + QStringLiteral(R"JS(
    var calls = window.__vantoryCalls || (window.__vantoryCalls = {});
    calls[token] = null;
    var settle = function (outcome) { calls[token] = outcome; };
    try {
        makeFunction()().then(function (value) { settle(classify(value)); },
                              function (e) { settle({kind: 'script', message: describe(e)}); });
    } catch (e) {
        settle({kind: 'script', message: describe(e)});
    }
    return {kind: 'started'};
})(%1))JS");
}

ScriptOutcome malformed()
{
    return PageError{PageError::Kind::script, "malformed script outcome"};
}

} // namespace

QString evaluate(const QString& source)
{
    return (QStringLiteral("(function () {") + helpers + QStringLiteral(R"JS(
    if (!evalAllowed()) return {kind: 'noEval'};
    try {
        return classify((0, eval)(%1));
    } catch (e) {
        return {kind: 'script', message: describe(e)};
    }
})())JS"))
        .arg(literal(source));
}

QString startAsync(const QString& body, const QString& token)
{
    const QString makeFunction = QStringLiteral(R"JS(
    if (!evalAllowed()) return {kind: 'noEval'};
    var makeFunction = function () { return (0, eval)('(async function () {\n' + %2 + '\n})'); };)JS");
    return asyncStarter(makeFunction).arg(literal(token), literal(body));
}

QString startAsyncWithoutEval(const QString& body, const QString& token)
{
    // The body goes in as code: a syntax error stops the whole script, which then answers nothing.
    const QString makeFunction = QStringLiteral(R"JS(
    var makeFunction = function () { return async function () {
%2
}; };)JS");
    return asyncStarter(makeFunction).arg(literal(token), body);
}

QString poll(const QString& token)
{
    return QStringLiteral(R"JS((function (token) {
    var calls = window.__vantoryCalls;
    if (!calls || !Object.prototype.hasOwnProperty.call(calls, token)) return {kind: 'lost'};
    var outcome = calls[token];
    if (outcome === null) return {kind: 'pending'};
    delete calls[token];
    return outcome;
})(%1))JS")
        .arg(literal(token));
}

Answer read(const QVariant& answer)
{
    if (!answer.isValid())
        return {Answer::Kind::lost};
    if (answer.typeId() != QMetaType::QVariantMap)
        return {Answer::Kind::outcome, malformed()};
    const QVariantMap map = answer.toMap();
    const QVariant kind = map.value(QStringLiteral("kind"));
    const QString name = kind.typeId() == QMetaType::QString ? kind.toString() : QString();
    if (name == QLatin1String("pending"))
        return {Answer::Kind::pending};
    if (name == QLatin1String("lost"))
        return {Answer::Kind::lost};
    if (name == QLatin1String("noEval"))
        return {Answer::Kind::noEval};
    if (name == QLatin1String("started"))
        return {Answer::Kind::started};
    if (name == QLatin1String("other"))
        return {Answer::Kind::outcome, ScriptValue{}};
    const QVariant text = map.value(QStringLiteral("text"));
    if (name == QLatin1String("text") && text.typeId() == QMetaType::QString)
        return {Answer::Kind::outcome, ScriptValue{ScriptValue::Kind::text, text.toString().toStdString()}};
    const QVariant flag = map.value(QStringLiteral("flag"));
    if (name == QLatin1String("flag") && flag.typeId() == QMetaType::Bool)
        return {Answer::Kind::outcome, ScriptValue{ScriptValue::Kind::flag, {}, flag.toBool()}};
    const QVariant message = map.value(QStringLiteral("message"));
    if (name == QLatin1String("script") && message.typeId() == QMetaType::QString)
        return {Answer::Kind::outcome, PageError{PageError::Kind::script, message.toString().toStdString()}};
    return {Answer::Kind::outcome, malformed()};
}

ScriptOutcome readPlain(const QVariant& value)
{
    if (value.typeId() == QMetaType::QString)
        return ScriptValue{ScriptValue::Kind::text, value.toString().toStdString()};
    if (value.typeId() == QMetaType::Bool)
        return ScriptValue{ScriptValue::Kind::flag, {}, value.toBool()};
    return ScriptValue{};
}

} // namespace vantory::ScriptBridge
