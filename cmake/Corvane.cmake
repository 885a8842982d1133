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
                           wininet ole32 oleaut32 uuid advapi32 version)
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

# corvane_wine_test(name sources... LIBS libs... [TIMEOUT s]): GoogleTest program run under Wine,
# one CTest test per program so that Wine starts once for all its cases.
function(corvane_wine_test name)
    cmake_parse_arguments(T "" "TIMEOUT" "LIBS" ${ARGN})
    if(WIN32)
        add_executable(${name} ${T_UNPARSED_ARGUMENTS})
        target_link_libraries(${name} PRIVATE ${T_LIBS} corvane_test_driver gtest_main)
        if(NOT T_TIMEOUT)
            set(T_TIMEOUT 300)
        endif()
        add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
        set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
            ENVIRONMENT "CORVANE_BUILD_DIR=${CMAKE_BINARY_DIR};CORVANE_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
    endif()
endfunction()
