# Header-only libraries of the build machine (nlohmann/json, CLI11) for a
# cross build. Their CMake packages point at /usr/include, which must not
# reach a cross compiler (it holds the host's C library headers), so each
# gets a folder of its own in the build tree holding a link to just its
# header folder, and an imported target with the package's usual name.
function(replidex_host_header_library target header_folder)
    set(root ${PROJECT_BINARY_DIR}/host-headers/${target})
    string(REPLACE "::" "_" root ${root})
    if(NOT EXISTS /usr/include/${header_folder})
        message(FATAL_ERROR "/usr/include/${header_folder} is missing: scripts/install-deps --windows installs it")
    endif()
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK /usr/include/${header_folder} ${root}/${header_folder} SYMBOLIC)
    add_library(${target} INTERFACE IMPORTED GLOBAL)
    set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${root})
endfunction()
