// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVariant>

#include "protocol/WebPage.h"

// The scripts that run a page script in the page's main world and bring back its outcome. Qt's
// runJavaScript neither reports exceptions nor awaits promises, so the source goes through an
// indirect eval inside a try/catch (top-level declarations stay global, so state persists between
// evaluations), and an async body's settled outcome waits on window under a token until a poll
// takes it. A page whose content security policy forbids eval gets the source as is: an
// evaluation's throw then reads as "other", an async body's syntax error as a script error
// without the parser's message.
namespace vantory::ScriptBridge {

// What a bridge script answered.
struct Answer {
    enum class Kind {
        outcome, // settled: see outcome
        pending, // an async call still runs
        lost, // the call's document is gone (the page navigated)
        noEval, // eval is forbidden here: use the fallback script
        started, // an async call began
    };

    Kind kind = Kind::lost;
    ScriptOutcome outcome;
};

QString evaluate(const QString& source);
QString startAsync(const QString& body, const QString& token);
QString startAsyncWithoutEval(const QString& body, const QString& token);
QString poll(const QString& token);

// Reads the answer of any of the scripts above. Anything unexpected (the page can reach and
// change the bridge's objects) is a script error; an absent answer means the script never ran.
Answer read(const QVariant& answer);
// The outcome of a source run as is: a text, a flag, or anything else (throws included).
ScriptOutcome readPlain(const QVariant& value);

} // namespace vantory::ScriptBridge
