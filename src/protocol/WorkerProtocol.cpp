// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/WorkerProtocol.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <array>
#include <cmath>
#include <initializer_list>
#include <string_view>
#include <utility>

namespace vantory::WorkerProtocol {

namespace {

// Integers travel as JSON numbers, exact up to 2^53.
constexpr double largestInteger = 9007199254740992.0;

// Names on the wire, in enumeration order.
using namespace std::string_view_literals;
constexpr std::array pageNames{"assessment"sv, "canvas"sv, "assessmentLogin"sv, "canvasLogin"sv};
constexpr std::array stateNames{"started"sv, "finished"sv, "failed"sv};
constexpr std::array buttonNames{"reload"sv, "sync"sv, "closed"sv, "addresses"sv};
constexpr std::array failureNames{"network"sv, "httpStatus"sv, "timedOut"sv, "badAddress"sv};

// With its length, so no compiler has to reason about a string's end.
QLatin1String latin1(std::string_view name)
{
    return QLatin1String(name.data(), static_cast<qsizetype>(name.size()));
}

template <typename Enum, std::size_t size> QString nameOf(Enum value, const std::array<std::string_view, size>& names)
{
    return latin1(names[static_cast<std::size_t>(value)]);
}

// A decoding failure anywhere in a message; caught once per message.
struct Malformed { };

// One message's fields, read strictly: every field read must be present with its JSON type, and
// finish() fails when the message holds any field that was not read.
class Fields {
public:
    explicit Fields(QJsonObject object)
        : object_(std::move(object))
    {
    }

    QString string(const char* key) { return take(key, QJsonValue::String).toString(); }
    bool flag(const char* key) { return take(key, QJsonValue::Bool).toBool(); }
    double number(const char* key)
    {
        const double value = take(key, QJsonValue::Double).toDouble();
        if (!std::isfinite(value))
            throw Malformed{};
        return value;
    }
    std::int64_t integer(const char* key) { return integerIn(key, 0, largestInteger); }
    int smallInteger(const char* key, int low, int high) { return static_cast<int>(integerIn(key, low, high)); }
    template <typename Enum, std::size_t size>
    Enum choice(const char* key, const std::array<std::string_view, size>& names)
    {
        const QString value = string(key);
        for (std::size_t i = 0; i < size; ++i)
            if (value == latin1(names[i]))
                return static_cast<Enum>(i);
        throw Malformed{};
    }
    PageId page() { return choice<PageId>("page", pageNames); }
    // A login window's messages name its page.
    PageId loginPage()
    {
        const PageId id = page();
        if (id != PageId::assessmentLogin && id != PageId::canvasLogin)
            throw Malformed{};
        return id;
    }

    void finish() const
    {
        if (read_ != object_.size())
            throw Malformed{};
    }

private:
    std::int64_t integerIn(const char* key, double low, double high)
    {
        const double value = number(key);
        if (value < low || value > high || std::floor(value) != value)
            throw Malformed{};
        return static_cast<std::int64_t>(value);
    }
    QJsonValue take(const char* key, QJsonValue::Type type)
    {
        const auto found = object_.constFind(QLatin1String(key));
        if (found == object_.constEnd() || found->type() != type)
            throw Malformed{};
        ++read_;
        return *found;
    }

    QJsonObject object_;
    qsizetype read_ = 1; // "type"
};

QByteArray line(QJsonObject object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

QJsonObject message(const char* type, std::initializer_list<std::pair<const char*, QJsonValue>> fields)
{
    QJsonObject object{{QStringLiteral("type"), QString::fromLatin1(type)}};
    for (const auto& [key, value] : fields)
        object.insert(QLatin1String(key), value);
    return object;
}

QJsonValue integer(std::int64_t value)
{
    return QJsonValue(static_cast<double>(value));
}

// Reads the object of one line and hands its fields to decodeFields by type; nothing when
// anything is wrong.
template <typename Message, typename Decode> std::optional<Message> decode(const QByteArray& text, Decode decodeFields)
{
    if (text.size() > maxMessageBytes)
        return std::nullopt;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    const QJsonValue type = object.value(QLatin1String("type"));
    if (!type.isString())
        return std::nullopt;
    try {
        Fields fields(object);
        std::optional<Message> decoded = decodeFields(type.toString(), fields);
        if (decoded)
            fields.finish();
        return decoded;
    } catch (const Malformed&) {
        return std::nullopt;
    }
}

bool is(const QString& type, const char* name)
{
    return type == QLatin1String(name);
}

int versionOf(Fields& fields)
{
    const std::int64_t value = fields.integer("version");
    if (value < 1 || value > 1'000'000)
        throw Malformed{};
    return static_cast<int>(value);
}

QJsonObject encodeOutcome(const Result& result)
{
    QJsonObject object = message("result", {{"call", integer(result.call)}});
    if (const auto* value = std::get_if<ScriptValue>(&result.outcome)) {
        switch (value->kind) {
        case ScriptValue::Kind::text:
            object.insert(QStringLiteral("kind"), QStringLiteral("text"));
            object.insert(QStringLiteral("text"), QString::fromStdString(value->text));
            break;
        case ScriptValue::Kind::flag:
            object.insert(QStringLiteral("kind"), QStringLiteral("flag"));
            object.insert(QStringLiteral("flag"), value->flag);
            break;
        case ScriptValue::Kind::other:
            object.insert(QStringLiteral("kind"), QStringLiteral("other"));
            break;
        }
        return object;
    }
    const auto& error = std::get<PageError>(result.outcome);
    if (error.kind == PageError::Kind::script) {
        object.insert(QStringLiteral("kind"), QStringLiteral("script"));
        object.insert(QStringLiteral("message"), QString::fromStdString(error.message));
    } else {
        object.insert(QStringLiteral("kind"), QStringLiteral("terminated"));
    }
    return object;
}

// A failed navigation's reason, each kind with its own range of codes.
LoadFailure decodeFailure(Fields& fields)
{
    using Kind = LoadFailure::Kind;
    const auto kind = fields.choice<Kind>("failure", failureNames);
    switch (kind) {
    case Kind::network:
        return {kind, fields.smallInteger("code", -999, -1)};
    case Kind::timedOut:
        return {kind, fields.smallInteger("code", 1, 24 * 3600)};
    case Kind::badAddress:
        return {kind, fields.smallInteger("code", 0, 0)};
    case Kind::httpStatus: // an error page is a finished navigation
        break;
    }
    throw Malformed{};
}

ScriptOutcome decodeOutcome(Fields& fields)
{
    const QString kind = fields.string("kind");
    if (is(kind, "text"))
        return ScriptValue{ScriptValue::Kind::text, fields.string("text").toStdString()};
    if (is(kind, "flag"))
        return ScriptValue{ScriptValue::Kind::flag, {}, fields.flag("flag")};
    if (is(kind, "other"))
        return ScriptValue{};
    if (is(kind, "script"))
        return PageError{PageError::Kind::script, fields.string("message").toStdString()};
    if (is(kind, "terminated"))
        return PageError{PageError::Kind::terminated};
    throw Malformed{};
}

} // namespace

QByteArray encode(const Command& command)
{
    return std::visit(
        [](const auto& c) -> QByteArray {
            using T = std::decay_t<decltype(c)>;
            if constexpr (std::is_same_v<T, Hello>) {
                return line(message("hello", {{"version", c.version}}));
            } else if constexpr (std::is_same_v<T, Load>) {
                const double timeout = std::isfinite(c.timeout) && c.timeout > 0 ? c.timeout : 0;
                return line(message("load",
                    {{"page", nameOf(c.page, pageNames)}, {"load", integer(c.load)}, {"url", c.url},
                        {"timeout", timeout}}));
            } else if constexpr (std::is_same_v<T, Stop>) {
                return line(message("stop", {{"page", nameOf(c.page, pageNames)}}));
            } else if constexpr (std::is_same_v<T, Evaluate>) {
                return line(message(c.async ? "callAsync" : "evaluate",
                    {{"page", nameOf(c.page, pageNames)}, {"call", integer(c.call)}, {"script", c.script}}));
            } else if constexpr (std::is_same_v<T, ShowLogin>) {
                return line(message("showLogin", {{"page", nameOf(c.page, pageNames)}, {"english", c.english}}));
            } else if constexpr (std::is_same_v<T, LoginTexts>) {
                return line(message("loginTexts",
                    {{"page", nameOf(c.page, pageNames)}, {"status", c.status}, {"message", c.message},
                        {"syncEnabled", c.syncEnabled}}));
            } else {
                static_assert(std::is_same_v<T, Quit>);
                return line(message("quit", {}));
            }
        },
        command);
}

QByteArray encode(const Event& event)
{
    return std::visit(
        [](const auto& e) -> QByteArray {
            using T = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<T, Ready>) {
                return line(message("ready", {{"version", e.version}}));
            } else if constexpr (std::is_same_v<T, Navigation>) {
                QJsonObject object = message("navigation",
                    {{"page", nameOf(e.page, pageNames)}, {"load", integer(e.load)},
                        {"state", nameOf(e.state, stateNames)}, {"url", e.url}});
                if (e.state == Navigation::State::finished)
                    object.insert(QStringLiteral("httpStatus"), e.httpStatus);
                if (e.state == Navigation::State::failed) {
                    object.insert(QStringLiteral("cancelled"), e.cancelled);
                    object.insert(QStringLiteral("failure"), nameOf(e.failure.kind, failureNames));
                    object.insert(QStringLiteral("code"), e.failure.code);
                }
                return line(object);
            } else if constexpr (std::is_same_v<T, UrlChanged>) {
                return line(message("url", {{"page", nameOf(e.page, pageNames)}, {"url", e.url}}));
            } else if constexpr (std::is_same_v<T, Terminated>) {
                return line(message("terminated", {{"page", nameOf(e.page, pageNames)}}));
            } else if constexpr (std::is_same_v<T, Result>) {
                return line(encodeOutcome(e));
            } else {
                static_assert(std::is_same_v<T, LoginButton>);
                return line(message(
                    "loginButton", {{"page", nameOf(e.page, pageNames)}, {"button", nameOf(e.button, buttonNames)}}));
            }
        },
        event);
}

std::optional<Command> decodeCommand(const QByteArray& text)
{
    return decode<Command>(text, [](const QString& type, Fields& f) -> std::optional<Command> {
        if (is(type, "hello"))
            return Hello{versionOf(f)};
        if (is(type, "load")) {
            Load load{f.page(), f.integer("load"), f.string("url"), f.number("timeout")};
            if (load.timeout < 0)
                throw Malformed{};
            return load;
        }
        if (is(type, "stop"))
            return Stop{f.page()};
        if (is(type, "evaluate") || is(type, "callAsync"))
            return Evaluate{f.page(), f.integer("call"), f.string("script"), is(type, "callAsync")};
        if (is(type, "showLogin"))
            return ShowLogin{f.loginPage(), f.flag("english")};
        if (is(type, "loginTexts"))
            return LoginTexts{f.loginPage(), f.string("status"), f.string("message"), f.flag("syncEnabled")};
        if (is(type, "quit"))
            return Quit{};
        return std::nullopt;
    });
}

std::optional<Event> decodeEvent(const QByteArray& text)
{
    return decode<Event>(text, [](const QString& type, Fields& f) -> std::optional<Event> {
        if (is(type, "ready"))
            return Ready{versionOf(f)};
        if (is(type, "navigation")) {
            Navigation navigation{
                f.page(), f.integer("load"), f.choice<Navigation::State>("state", stateNames), f.string("url")};
            if (navigation.state == Navigation::State::finished) {
                navigation.httpStatus = f.smallInteger("httpStatus", 0, 999);
                if (navigation.httpStatus > 0 && navigation.httpStatus < 400)
                    throw Malformed{};
            }
            if (navigation.state == Navigation::State::failed) {
                navigation.cancelled = f.flag("cancelled");
                navigation.failure = decodeFailure(f);
            }
            return navigation;
        }
        if (is(type, "url"))
            return UrlChanged{f.page(), f.string("url")};
        if (is(type, "terminated"))
            return Terminated{f.page()};
        if (is(type, "result")) {
            const std::int64_t call = f.integer("call");
            return Result{call, decodeOutcome(f)};
        }
        if (is(type, "loginButton"))
            return LoginButton{f.loginPage(), f.choice<LoginButton::Button>("button", buttonNames)};
        return std::nullopt;
    });
}

void LineBuffer::append(const QByteArray& bytes)
{
    if (!overflowed_)
        buffer_.append(bytes);
}

std::optional<QByteArray> LineBuffer::take()
{
    if (overflowed_)
        return std::nullopt;
    const qsizetype end = buffer_.indexOf('\n', scanned_);
    const qsizetype length = end < 0 ? buffer_.size() : end;
    if (length > maxMessageBytes) {
        overflowed_ = true;
        buffer_.clear();
        return std::nullopt;
    }
    if (end < 0) {
        scanned_ = buffer_.size();
        return std::nullopt;
    }
    QByteArray line = buffer_.left(end);
    buffer_.remove(0, end + 1);
    scanned_ = 0;
    return line;
}

} // namespace vantory::WorkerProtocol
