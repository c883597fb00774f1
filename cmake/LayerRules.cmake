# The folder says the layer. replidex_check_layer(TARGET DIR ALLOWED...) makes
# TARGET's build fail when a file under DIR includes a header outside the
# allowed prefixes (or any Qt header), so a core file that reaches for Qt or a
# window cannot build.
function(replidex_check_layer target dir)
    cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "ALLOWED")
    file(GLOB_RECURSE watched CONFIGURE_DEPENDS "${dir}/*.h" "${dir}/*.cpp")
    list(JOIN arg_ALLOWED "|" allowed)
    set(stamp "${CMAKE_CURRENT_BINARY_DIR}/${target}.layer-checked")
    add_custom_command(OUTPUT "${stamp}"
        COMMAND ${CMAKE_COMMAND} "-DDIR=${dir}" "-DALLOWED=${allowed}" -DNO_QT=ON
                "-DSTAMP=${stamp}" -P "${PROJECT_SOURCE_DIR}/cmake/CheckIncludes.cmake"
        DEPENDS ${watched} "${PROJECT_SOURCE_DIR}/cmake/CheckIncludes.cmake"
        COMMENT "Checking the includes of ${target}"
        VERBATIM)
    add_custom_target(${target}_layer_check DEPENDS "${stamp}")
    add_dependencies(${target} ${target}_layer_check)
endfunction()
