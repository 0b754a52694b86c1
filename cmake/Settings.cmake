# One settings target that every target links: warnings, sanitizers.
option(TAVLEN_WERROR "Treat warnings as errors" OFF)
option(TAVLEN_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

add_library(tavlen_settings INTERFACE)
target_compile_options(tavlen_settings INTERFACE -Wall -Wextra -Wpedantic)
if(TAVLEN_WERROR)
    target_compile_options(tavlen_settings INTERFACE -Werror)
endif()
if(TAVLEN_SANITIZE)
    target_compile_options(tavlen_settings INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(tavlen_settings INTERFACE -fsanitize=address,undefined)
endif()
