# Per-target settings: warnings, language level and sanitizers. Nothing here edits CMAKE_CXX_FLAGS.

function(motor_panel_target_defaults target)
    target_compile_features(${target} PRIVATE cxx_std_20)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    if(MOTOR_PANEL_SANITIZE)
        target_compile_options(${target} PRIVATE -fsanitize=${MOTOR_PANEL_SANITIZE} -fno-omit-frame-pointer
                                                 -fno-sanitize-recover=all)
        target_link_options(${target} PRIVATE -fsanitize=${MOTOR_PANEL_SANITIZE})
    endif()
    if(MOTOR_PANEL_FUZZ)
        # Coverage feedback for the fuzzer from every library it drives.
        target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
    endif()
endfunction()

# A GoogleTest executable linked against the given libraries, registered with CTest. In a cross
# build, LAUNCHER (a command and its arguments) runs the emulator that runs the program.
function(motor_panel_gtest name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES;LABELS;LAUNCHER" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    motor_panel_target_defaults(${name})
    target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gtest GTest::gtest_main)
    if(CMAKE_CROSSCOMPILING)
        # One test per program: every start of a program under Wine costs a good part of a second.
        if(ARG_LAUNCHER)
            add_test(NAME ${name}
                     COMMAND ${ARG_LAUNCHER} ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${name}>)
        else()
            add_test(NAME ${name} COMMAND ${name})
        endif()
        # A hung program under Wine would otherwise hold CI for CTest's default 25 minutes.
        set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}" FIXTURES_REQUIRED wine
                                                TIMEOUT 300)
    else()
        gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES LABELS "${ARG_LABELS}")
    endif()
endfunction()
