# One warning level for every target of ours, on g++ and MinGW alike.
function(vantrel_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
        -Wnon-virtual-dtor -Woverloaded-virtual -Wcast-qual -Wformat=2)
    if(VANTREL_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
