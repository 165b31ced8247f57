# Copies the run-time data folders (catalogues, device pictures) into a
# program folder of the build tree on every build.
function(tovrin_copy_runtime_data target dst)
    add_custom_target(${target} ALL
        COMMAND ${CMAKE_COMMAND} -E copy_directory
                ${PROJECT_SOURCE_DIR}/resources/agreement ${dst}/resources/agreement
        COMMAND ${CMAKE_COMMAND} -E copy_directory
                ${PROJECT_SOURCE_DIR}/resources/images ${dst}/resources/images
        VERBATIM)
endfunction()
