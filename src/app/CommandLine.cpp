#include "app/CommandLine.h"

#include <algorithm>
#include <array>

namespace vantory {

namespace {

// QGuiApplication's and QApplication's own options, which they take out of argv themselves.
constexpr std::array qtOptionsWithValue{"-platform", "-platformpluginpath", "-platformtheme", "-plugin",
    "-qwindowgeometry", "-qwindowicon", "-qwindowtitle", "-session", "-display", "-geometry", "-style", "-stylesheet",
    "-name", "-title"};
constexpr std::array qtFlags{"-reverse", "-widgetcount", "-nograb", "-dograb"};

template <std::size_t N> bool listed(const std::array<const char*, N>& list, std::string_view argument)
{
    return std::find(list.begin(), list.end(), argument) != list.end();
}

constexpr std::string_view helpText = R"(사용법: vantory [옵션]

상단 막대에서 가장 가까운 과제 마감을 보여 줍니다.

옵션:
  -h, --help             이 도움말을 보여 주고 끝냅니다
  -v, --version          버전을 보여 주고 끝냅니다
      --login            저장된 일정이 있어도 BrevaneLearn 로그인 창을 엽니다
      --show-calendar    캘린더 창을 엽니다 (실행 중이면 그 창을 엽니다)
      --tray-only        화면 위쪽 막대 없이 트레이 아이콘만 보여 줍니다 (기억됨)
      --with-strip       화면 위쪽 막대를 다시 보여 줍니다 (기억됨)
                         sway 같은 타일링 Wayland에서는 기본이 트레이 아이콘만이며,
                         waybar에는 --bar=waybar 모듈을 쓰세요
      --data-dir DIR     일정 파일(state.json)을 DIR에 둡니다 (기본: ~/.local/share/Vantory)
      --bar=FORMAT       막대 프로그램용 한 줄을 출력하고 바뀔 때마다 새 줄을 씁니다
                         FORMAT: waybar, i3blocks, polybar (일정 파일은 읽기만 합니다)
      --once             --bar와 함께: 한 줄만 출력하고 끝냅니다

종료 상태: 0 성공, 1 실행 중인 Vantory에 연결하지 못함, 2 잘못된 옵션
)";

} // namespace

std::string_view CommandLine::help()
{
    return helpText;
}

std::variant<CommandLine, CommandLine::UsageError> CommandLine::parse(std::span<const std::string> arguments)
{
    CommandLine line;
    bool barAsked = false;
    bool helpAsked = false;
    bool versionAsked = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const auto equals = argument.find('=');
        const std::string name = argument.starts_with("--") ? argument.substr(0, equals) : argument;
        // The option's value, from "--name=value" or the next argument.
        const auto value = [&]() -> std::optional<std::string> {
            if (equals != std::string::npos && argument.starts_with("--"))
                return argument.substr(equals + 1);
            if (i + 1 < arguments.size())
                return arguments[++i];
            return std::nullopt;
        };
        const bool hasInlineValue = argument.starts_with("--") && equals != std::string::npos;

        if (name == "-h" || name == "--help") {
            helpAsked = true;
        } else if (name == "-v" || name == "--version") {
            versionAsked = true;
        } else if (name == "--login" || name == "--show-calendar" || name == "--tray-only" || name == "--with-strip"
            || name == "--once") {
            if (hasInlineValue)
                return UsageError{"'" + name + "' 옵션은 값을 받지 않아요"};
            line.once = line.once || name == "--once";
        } else if (name == "--data-dir") {
            const auto directory = value();
            if (!directory || directory->empty())
                return UsageError{"'--data-dir'에 폴더를 지정해 주세요"};
            line.dataDirectory = *directory;
        } else if (name == "--bar") {
            const auto format = value();
            const auto parsed = format ? barFormat(*format) : std::nullopt;
            if (!parsed)
                return UsageError{"'--bar'에는 waybar, i3blocks, polybar 중 하나를 지정해 주세요"};
            line.bar = *parsed;
            barAsked = true;
        } else if (listed(qtOptionsWithValue, argument)) {
            ++i;
        } else if (!listed(qtFlags, argument)) {
            return UsageError{"알 수 없는 옵션 '" + argument + "'"};
        }
    }
    if (line.once && !barAsked)
        return UsageError{"'--once'는 '--bar'와 함께 써 주세요"};
    line.action = helpAsked ? Action::help : versionAsked ? Action::version : barAsked ? Action::bar : Action::run;
    return line;
}

} // namespace vantory
