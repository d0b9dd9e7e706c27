# Writes the application manifest of one program into OUTPUT, from
# application.manifest.in: its name, description, the execution level that
# UAC gives it, and the reason for that level (a comment in the manifest).
# The program's .rc embeds it as resource 1 of type RT_MANIFEST.
function(tes_application_manifest OUTPUT NAME LEVEL DESCRIPTION WHY)
    set(TES_MANIFEST_NAME ${NAME})
    set(TES_MANIFEST_LEVEL ${LEVEL})
    set(TES_MANIFEST_DESCRIPTION ${DESCRIPTION})
    set(TES_MANIFEST_WHY ${WHY})
    configure_file(${CMAKE_SOURCE_DIR}/cmake/application.manifest.in ${OUTPUT} @ONLY)
endfunction()
