# Shared settings for every target of the project.

if(WIN32)
    add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                            _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0800)
    # The version resources (resources/Version.rc) take their numbers from the project.
    add_compile_definitions(CORVANE_VERSION_MAJOR=${PROJECT_VERSION_MAJOR} CORVANE_VERSION_MINOR=${PROJECT_VERSION_MINOR}
                            CORVANE_VERSION_PATCH=${PROJECT_VERSION_PATCH} CORVANE_VERSION_TWEAK=${PROJECT_VERSION_TWEAK})
    add_compile_options(-Wall -Wextra -Wno-cast-function-type -Wno-missing-field-initializers)
    # Shipped executables carry no symbols; Update.exe travels inside Corvane.exe.
    add_link_options($<$<CONFIG:Release>:-s>)
    set(CORVANE_WIN32_LIBS gdiplus gdi32 user32 msimg32 comctl32 comdlg32 shell32 shlwapi
                           wininet ole32 oleaut32 oleacc uuid advapi32 version bcrypt crypt32)
else()
    add_compile_options(-Wall -Wextra)
    if(CORVANE_SANITIZE)
        add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
        add_link_options(-fsanitize=address,undefined)
    endif()
endif()

# corvane_pure_library(name sources...): code free of <windows.h>, built for both platforms.
function(corvane_pure_library name)
    add_library(${name} STATIC ${ARGN})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# corvane_win32_library(name sources...): Win32 glue, built only for Windows.
function(corvane_win32_library name)
    if(WIN32)
        add_library(${name} STATIC ${ARGN})
        target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
        target_link_libraries(${name} PUBLIC ${CORVANE_WIN32_LIBS})
    endif()
endfunction()

# corvane_native_test(name sources... LIBS libs...): GoogleTest program run natively.
function(corvane_native_test name)
    cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
    if(NOT WIN32)
        add_executable(${name} ${T_UNPARSED_ARGUMENTS})
        target_link_libraries(${name} PRIVATE ${T_LIBS} gtest_main)
        include(GoogleTest)
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
    endif()
endfunction()

# corvane_wine_test(name sources... LIBS libs... [TIMEOUT s] [RUNNER script] [DEPENDS targets...]
#                   [INCLUDES dirs...] [ENVIRONMENT NAME=value...]): GoogleTest program run under
# Wine, one CTest test per program so that Wine starts once for all its cases. A RUNNER shell
# script starts what the program needs around it (demo portals, a small desktop) and runs it.
function(corvane_wine_test name)
    cmake_parse_arguments(T "" "TIMEOUT;RUNNER" "LIBS;DEPENDS;INCLUDES;ENVIRONMENT" ${ARGN})
    if(WIN32)
        add_executable(${name} ${T_UNPARSED_ARGUMENTS})
        target_link_libraries(${name} PRIVATE ${T_LIBS} corvane_test_driver gtest_main)
        if(T_INCLUDES)
            target_include_directories(${name} PRIVATE ${T_INCLUDES})
        endif()
        if(T_DEPENDS)
            add_dependencies(${name} ${T_DEPENDS})
        endif()
        if(NOT T_TIMEOUT)
            set(T_TIMEOUT 300)
        endif()
        # Each program runs in a lane of its own of the test run (tools/in-lane).
        set(lane sh ${PROJECT_SOURCE_DIR}/tools/in-lane)
        if(T_RUNNER)
            add_test(NAME ${name} COMMAND ${lane} sh ${T_RUNNER} $<TARGET_FILE:${name}> --gtest_color=no)
        else()
            add_test(NAME ${name} COMMAND ${lane} ${PROJECT_SOURCE_DIR}/tools/wine-exec $<TARGET_FILE:${name}>
                                          --gtest_color=no)
        endif()
        set(environment CORVANE_BUILD_DIR=${CMAKE_BINARY_DIR} CORVANE_SOURCE_DIR=${PROJECT_SOURCE_DIR} ${T_ENVIRONMENT})
        set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} ENVIRONMENT "${environment}")
    endif()
endfunction()

# corvane_benchmark(name sources... LIBS libs...): a program that a script in tools/bench runs,
# built into <build>/bench. It sees the resource ids as the resource scripts do.
function(corvane_benchmark name)
    cmake_parse_arguments(B "" "" "LIBS" ${ARGN})
    if(WIN32)
        add_executable(${name} ${B_UNPARSED_ARGUMENTS})
        target_link_libraries(${name} PRIVATE ${B_LIBS})
        target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/resources)
        target_link_options(${name} PRIVATE -municode)
        set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
    endif()
endfunction()

# corvane_fuzz_test(name SOURCE target.cpp CORPUS dir MAX_LEN n LIBS pure-libraries...): a 30-second
# libFuzzer run in every native test run, built with clang from the target and the libraries'
# sources. Without clang and its libFuzzer runtime the test stays listed and reports itself
# skipped, loudly.
function(corvane_fuzz_test name)
    if(WIN32)
        return()
    endif()
    cmake_parse_arguments(F "" "SOURCE;CORPUS;MAX_LEN" "LIBS" ${ARGN})
    find_program(CORVANE_CLANGXX NAMES clang++ clang++-14)
    if(CORVANE_CLANGXX AND NOT DEFINED CACHE{CORVANE_LIBFUZZER_WORKS})
        set(probe ${CMAKE_BINARY_DIR}/fuzz-probe)
        file(WRITE ${probe}.cpp "#include <cstddef>\n#include <cstdint>\n"
             "extern \"C\" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }\n")
        execute_process(COMMAND ${CORVANE_CLANGXX} -fsanitize=fuzzer,address ${probe}.cpp -o ${probe}
                        RESULT_VARIABLE probe_result OUTPUT_QUIET ERROR_QUIET)
        if(probe_result EQUAL 0)
            set(CORVANE_LIBFUZZER_WORKS ON CACHE INTERNAL "clang builds libFuzzer targets")
        endif()
    endif()
    if(NOT CORVANE_CLANGXX OR NOT CORVANE_LIBFUZZER_WORKS)
        set(why "clang++ with the libFuzzer runtime was not found (tools/setup installs clang and libclang-rt-14-dev)")
        message(WARNING "The fuzz test ${name} is SKIPPED: ${why}")
        add_test(NAME ${name} COMMAND sh -c "echo 'SKIPPED: ${why}' >&2; exit 77")
        set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
        return()
    endif()
    set(fuzz_sources)
    foreach(library ${F_LIBS})
        get_target_property(sources ${library} SOURCES)
        get_target_property(dir ${library} SOURCE_DIR)
        list(TRANSFORM sources PREPEND ${dir}/)
        list(APPEND fuzz_sources ${sources})
    endforeach()
    set(fuzzer ${CMAKE_CURRENT_BINARY_DIR}/${name})
    add_custom_command(OUTPUT ${fuzzer}
        COMMAND ${CORVANE_CLANGXX} -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined
                -fno-sanitize-recover=all -I${PROJECT_SOURCE_DIR} ${F_SOURCE} ${fuzz_sources} -o ${fuzzer}
        DEPENDS ${F_SOURCE} ${fuzz_sources}
        COMMENT "Building the fuzzer ${name} with clang"
        VERBATIM)
    add_custom_target(${name}_build ALL DEPENDS ${fuzzer})
    # New inputs go to the build tree; the seeds in the repository are only read.
    file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/${name}-corpus)
    add_test(NAME ${name}
             COMMAND ${fuzzer} -max_total_time=30 -max_len=${F_MAX_LEN} -timeout=10 -rss_limit_mb=2048
                     -artifact_prefix=${CMAKE_CURRENT_BINARY_DIR}/
                     ${CMAKE_CURRENT_BINARY_DIR}/${name}-corpus ${F_CORPUS})
    set_tests_properties(${name} PROPERTIES TIMEOUT 120)
endfunction()
