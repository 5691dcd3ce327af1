// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/DesktopLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>

namespace vantory {

namespace {

const QString settingKey = QStringLiteral("language");

} // namespace

DesktopLanguage::DesktopLanguage(QSettings& settings, QObject* parent)
    : QObject(parent)
    , settings_(settings)
    , choice_(choiceFromKey(settings.value(settingKey).toString()))
{
    applied_ = resolve(choice_);
    setLanguage(applied_);
    install();
}

void DesktopLanguage::setChoice(LanguageChoice choice)
{
    choice_ = choice;
    settings_.setValue(settingKey, key(choice));
    apply();
}

void DesktopLanguage::apply()
{
    const Language language = resolve(choice_);
    if (language == applied_)
        return;
    applied_ = language;
    setLanguage(language);
    install();
    Q_EMIT changed();
}

QString DesktopLanguage::key(LanguageChoice choice)
{
    switch (choice) {
    case LanguageChoice::korean:
        return QStringLiteral("ko");
    case LanguageChoice::english:
        return QStringLiteral("en");
    case LanguageChoice::automatic:
        break;
    }
    return QStringLiteral("auto");
}

LanguageChoice DesktopLanguage::choiceFromKey(const QString& key)
{
    if (key == QLatin1String("ko"))
        return LanguageChoice::korean;
    if (key == QLatin1String("en"))
        return LanguageChoice::english;
    return LanguageChoice::automatic;
}

Language DesktopLanguage::resolve(LanguageChoice choice)
{
    switch (choice) {
    case LanguageChoice::korean:
        return Language::korean;
    case LanguageChoice::english:
        return Language::english;
    case LanguageChoice::automatic:
        break;
    }
    const auto variable = [](const char* name) { return qgetenv(name); };
    return sessionLanguage(variable("LANGUAGE").constData(), variable("LC_ALL").constData(),
        variable("LC_MESSAGES").constData(), variable("LANG").constData());
}

void DesktopLanguage::install()
{
    const bool english = applied_ == Language::english;
    QCoreApplication::removeTranslator(&translator_);
    QCoreApplication::removeTranslator(&qtTranslator_);
    // Korean is the source text: it needs no catalogue of ours, but the dialogs Qt draws itself
    // (colours, files) need Qt's, when the system has it.
    if (english && translator_.load(QStringLiteral(":/i18n/vantory_en.qm")))
        QCoreApplication::installTranslator(&translator_);
    if (!english && qtTranslator_.load(QStringLiteral("qtbase_ko"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTranslator_);
    QLocale::setDefault(
        english ? QLocale(QLocale::English, QLocale::UnitedStates) : QLocale(QLocale::Korean, QLocale::SouthKorea));
}

} // namespace vantory
