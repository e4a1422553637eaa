# Warnings are errors in every build, so both compilers keep the tree clean.
add_library(orvix_options INTERFACE)
target_compile_options(orvix_options INTERFACE -Wall -Wextra -Werror -Wshadow -Wconversion
                                              -Wno-sign-conversion)
target_compile_features(orvix_options INTERFACE cxx_std_20)

if(ORVIX_SANITIZE)
    target_compile_options(orvix_options INTERFACE -fsanitize=address,undefined
                                                   -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(orvix_options INTERFACE -fsanitize=address,undefined)
endif()

if(ORVIX_FUZZ)
    # Instrument every library the fuzz targets link; the targets add -fsanitize=fuzzer.
    target_compile_options(orvix_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined
                                                   -fno-sanitize-recover=all)
    target_link_options(orvix_options INTERFACE -fsanitize=address,undefined)
endif()

if(WIN32)
    # Static runtime: the programs must import system DLLs only.
    target_link_options(orvix_options INTERFACE -static -static-libgcc -static-libstdc++)
    target_compile_definitions(orvix_options INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX
                                                       _WIN32_WINNT=0x0601 WINVER=0x0601
                                                       __USE_MINGW_ANSI_STDIO=1)
endif()

# Logic libraries: one per subsystem, never including <windows.h>.
function(orvix_logic_library name)
    add_library(${name} STATIC ${ARGN})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC orvix_options)
endfunction()
