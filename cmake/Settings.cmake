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
    # GCC 12's flow analysis under the sanitizers reports std::regex and std::function
    # members as maybe uninitialised (GCC bug 105562): noise, not a finding.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        target_compile_options(tavlen_settings INTERFACE -Wno-maybe-uninitialized)
    endif()
endif()
