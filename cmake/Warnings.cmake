# SPDX-License-Identifier: GPL-3.0-or-later
# Project-wide compile options for our own targets (not for dependencies).
function(vantory_target_defaults target)
    # Records are aggregates whose default member initialisers are their new values, so leaving
    # trailing fields out of a brace initialiser is intended, not a slip.
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-missing-field-initializers)
    # Qt's keywords would collide with the standard library's names; every text says its encoding.
    target_compile_definitions(${target} PRIVATE QT_NO_KEYWORDS QT_NO_CAST_FROM_ASCII)
    # Errors for the project's own scripts and CI; a packager's newer compiler may warn where ours
    # does not, and that must not stop the build.
    if(VANTORY_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
    if(VANTORY_SANITIZE)
        target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                 -fno-sanitize-recover=undefined)
        target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    endif()
endfunction()
