# Runs an asset generator into a fresh scratch directory and fails unless each named file it
# writes is byte for byte the committed one.
#   cmake -DGENERATOR=exe -DARGUMENT=output -DSCRATCH_DIR=dir -DASSETS_DIR=dir -DFILES=a,b -P ...

file(REMOVE_RECURSE "${SCRATCH_DIR}")
file(MAKE_DIRECTORY "${SCRATCH_DIR}")
execute_process(COMMAND "${GENERATOR}" "${ARGUMENT}" RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "${GENERATOR} failed: ${failed}")
endif()

string(REPLACE "," ";" FILES "${FILES}")
foreach(name IN LISTS FILES)
    execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files
        "${SCRATCH_DIR}/${name}" "${ASSETS_DIR}/${name}" RESULT_VARIABLE differs)
    if(differs)
        message(FATAL_ERROR "${name} differs from the committed file; "
            "build target regenerate_assets if the change is intended")
    endif()
endforeach()
