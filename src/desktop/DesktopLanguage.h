// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Language.h"

#include <QObject>
#include <QString>
#include <QTranslator>

class QSettings;

namespace vantory {

// What the student picked in the settings' "언어": the session's language, or one of ours.
enum class LanguageChoice { automatic, korean, english };

// The language of every text: the core's table (setLanguage) and Qt's catalogue, installed in the
// application. The student's choice is kept in the preferences file; a change applies at once,
// and changed() tells the windows to word themselves anew.
class DesktopLanguage : public QObject {
    Q_OBJECT

public:
    // `settings` (~/.config/Vantory/Vantory.conf) holds the choice and must outlive this. Applies
    // the stored choice.
    explicit DesktopLanguage(QSettings& settings, QObject* parent = nullptr);

    LanguageChoice choice() const { return choice_; }
    // Saves the student's choice and applies it.
    void setChoice(LanguageChoice choice);
    Language language() const { return applied_; }

    // The choice as kept in the preferences file ("auto", "ko", "en"); an unknown text is "auto".
    static QString key(LanguageChoice choice);
    static LanguageChoice choiceFromKey(const QString& key);
    // The language a choice stands for in this session.
    static Language resolve(LanguageChoice choice);
Q_SIGNALS:
    void changed();

private:
    void apply();
    // Installs Qt's catalogue of the language, replacing the previous one.
    void install();

    QSettings& settings_;
    LanguageChoice choice_;
    Language applied_ = Language::korean;
    QTranslator translator_;
    QTranslator qtTranslator_;
};

} // namespace vantory
