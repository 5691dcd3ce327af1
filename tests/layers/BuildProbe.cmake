# SPDX-License-Identifier: GPL-3.0-or-later
# Builds one layer probe. With FAILS_WITH the build must fail with a message matching it, so that an
# unknown target or a broken probe does not pass for a layer rule; without, it must succeed.
set(command ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${TARGET})
if(CONFIG)
    list(APPEND command --config ${CONFIG})
endif()
# The messages are matched in English.
set(ENV{LC_ALL} C)
execute_process(COMMAND ${command} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)

if(FAILS_WITH)
    if(result EQUAL 0)
        message(FATAL_ERROR "${TARGET} built, but the layers must keep it from compiling")
    elseif(NOT output MATCHES "${FAILS_WITH}")
        message(FATAL_ERROR "${TARGET} failed, but not with \"${FAILS_WITH}\":\n${output}")
    endif()
elseif(NOT result EQUAL 0)
    message(FATAL_ERROR "${TARGET} must build:\n${output}")
endif()
