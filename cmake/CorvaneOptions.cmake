# Compiler flags shared by every target, and the helper that declares a library
# from the sources of one src/ folder.

add_compile_options(-Wall -Wextra)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    # GCC 12 reports std::string appends as overlapping memcpy (GCC bug 105329).
    add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-Wno-restrict>)
endif()
if(CORVANE_WERROR)
    add_compile_options(-Werror)
endif()

if(CORVANE_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

if(CORVANE_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "CORVANE_FUZZ needs clang (CC=clang CXX=clang++)")
    endif()
    # Every library is instrumented; only the fuzz targets link the fuzzer main.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

# corvane_add_sources(target folder): adds every .cpp/.c of a src/ folder to a target.
function(corvane_add_sources target folder)
    file(GLOB _srcs CONFIGURE_DEPENDS
         ${folder}/*.cpp ${folder}/*.c)
    target_sources(${target} PRIVATE ${_srcs})
endfunction()

# corvane_add_test(name folder libs...): one GoogleTest executable per folder of tests/.
function(corvane_add_test name folder)
    file(GLOB _srcs CONFIGURE_DEPENDS ${folder}/*.cpp)
    add_executable(${name} ${_srcs})
    target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gtest_main GTest::gmock)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                         PROPERTIES ENVIRONMENT "CORVANE_TEST_TMP=${CMAKE_BINARY_DIR}/test-tmp")
endfunction()

# corvane_link_required(target scope libs...): links libraries of the project that must
# exist. A missing one stops the configure step instead of leaving a silent gap in the
# layer stack (the folders are added lowest first, so each dependency is known by now).
function(corvane_link_required target scope)
    foreach(lib ${ARGN})
        if(NOT TARGET ${lib})
            message(FATAL_ERROR "${target} needs ${lib}, which is not defined")
        endif()
    endforeach()
    target_link_libraries(${target} ${scope} ${ARGN})
endfunction()
