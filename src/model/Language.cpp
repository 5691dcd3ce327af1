// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Language.h"

#include <atomic>
#include <optional>
#include <string_view>

namespace vantory {

namespace {

std::atomic<Language> current{Language::korean};

bool set(const char* variable)
{
    return variable != nullptr && *variable != '\0';
}

// "ko", "ko_KR.UTF-8", "ko@euro" → Korean; "en…" → English; any other has no catalogue.
std::optional<Language> catalogueOf(std::string_view locale)
{
    const std::string_view code = locale.substr(0, locale.find_first_of("_.@"));
    if (code == "ko")
        return Language::korean;
    if (code == "en")
        return Language::english;
    return std::nullopt;
}

} // namespace

Language language()
{
    return current.load(std::memory_order_relaxed);
}

void setLanguage(Language language)
{
    current.store(language, std::memory_order_relaxed);
}

Language sessionLanguage(const char* languageList, const char* lcAll, const char* lcMessages, const char* lang)
{
    const char* locale = set(lcAll) ? lcAll : set(lcMessages) ? lcMessages : set(lang) ? lang : nullptr;
    if (!set(locale))
        return Language::english;
    const std::string_view chosen(locale);
    if (chosen != "C" && chosen != "POSIX" && !chosen.starts_with("C.") && set(languageList)) {
        std::string_view list(languageList);
        while (!list.empty()) {
            const std::size_t end = list.find(':');
            if (const auto found = catalogueOf(list.substr(0, end)))
                return *found;
            list = end == std::string_view::npos ? std::string_view() : list.substr(end + 1);
        }
    }
    return catalogueOf(chosen).value_or(Language::english);
}

} // namespace vantory
