# Warnings are errors for every target of the project.
function(sievewright_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
endfunction()
