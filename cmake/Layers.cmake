# The program's layers are static libraries that link privately only what they use:
#   sievewright_engine  ◄── sievewright_runner ◄──┐
#   sievewright_support ◄── sievewright_document ◄─ sievewright_ui ◄── sievewright_startup
# Everything is included root-relative ("support/textfile.h").

# sievewright_layer(<target>): the settings every library of the program shares.
function(sievewright_layer target)
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_compile_definitions(${target} PUBLIC QT_NO_KEYWORDS QT_USE_QSTRINGBUILDER)
    sievewright_warnings(${target})
endfunction()

# The libraries and imported targets that target reaches through its link graph.
function(sievewright_reach target out)
    set(seen "")
    set(todo ${target})
    while(todo)
        list(POP_FRONT todo current)
        if(current IN_LIST seen)
            continue()
        endif()
        list(APPEND seen ${current})
        if(TARGET ${current} AND current MATCHES "^sievewright_")
            get_target_property(links ${current} LINK_LIBRARIES)
            if(links)
                foreach(link ${links})
                    string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
                    list(APPEND todo ${link})
                endforeach()
            endif()
        endif()
    endwhile()
    list(REMOVE_ITEM seen ${target})
    set(${out} ${seen} PARENT_SCOPE)
endfunction()

# sievewright_forbid(<target> <regex>...): fails the configuration when the target reaches a
# library whose name matches one of the expressions.
function(sievewright_forbid target)
    sievewright_reach(${target} reached)
    foreach(pattern ${ARGN})
        foreach(link ${reached})
            if(link MATCHES "${pattern}")
                message(FATAL_ERROR "Layer violation: ${target} links ${link}")
            endif()
        endforeach()
    endforeach()
endfunction()
