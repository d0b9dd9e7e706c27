# Writes payload_sizes.h: the number of bytes the installer writes for each
# payload, taken from the files the build just made, so the constants always
# match the embedded files.
#   cmake -DCOPIER=... -DHOOK=... -DOUTPUT=... -P payload_sizes.cmake
file(SIZE "${COPIER}" copier_bytes)
file(SIZE "${HOOK}" hook_bytes)
set(text "// Made by the build from the embedded files; do not edit.\n#pragma once\n\nconst unsigned long c_CopierPayloadBytes = ${copier_bytes}UL;\nconst unsigned long c_HookPayloadBytes = ${hook_bytes}UL;\n")
file(WRITE "${OUTPUT}" "${text}")
