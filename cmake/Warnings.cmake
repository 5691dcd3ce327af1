# Project-wide compile options for our own targets (not for dependencies).
function(vantory_target_defaults target)
    # Records are aggregates whose default member initialisers are their new values, so leaving
    # trailing fields out of a brace initialiser is intended, not a slip.
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wno-missing-field-initializers)
    if(VANTORY_SANITIZE)
        target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                 -fno-sanitize-recover=undefined)
        target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    endif()
endfunction()
