# Sources that make no Win32 call.  They are compiled into the Windows
# programs and natively into tests/native (sanitizers) and the fuzzer.
set(TES_PURE_COMMON_SOURCES
    ${CMAKE_SOURCE_DIR}/common/job_file_format.cpp
    ${CMAKE_SOURCE_DIR}/common/job_text.cpp
)
set(TES_PURE_SETUP_SOURCES
    ${CMAKE_SOURCE_DIR}/setup/install_refusal.cpp
)
set(TES_PURE_COPIER_SOURCES
    ${CMAKE_SOURCE_DIR}/copier/ascii_case.cpp
    ${CMAKE_SOURCE_DIR}/copier/job_arguments.cpp
    ${CMAKE_SOURCE_DIR}/copier/copy_paths.cpp
    ${CMAKE_SOURCE_DIR}/copier/target_rules.cpp
    ${CMAKE_SOURCE_DIR}/copier/entry_rules.cpp
    ${CMAKE_SOURCE_DIR}/copier/volume_rules.cpp
    ${CMAKE_SOURCE_DIR}/copier/formats.cpp
    ${CMAKE_SOURCE_DIR}/copier/progress_math.cpp
    ${CMAKE_SOURCE_DIR}/copier/speed_table.cpp
    ${CMAKE_SOURCE_DIR}/tools/resgen/canvas.cpp ${CMAKE_SOURCE_DIR}/tools/resgen/font.cpp ${CMAKE_SOURCE_DIR}/tools/resgen/writers.cpp ${CMAKE_SOURCE_DIR}/tools/resgen/avi_writer.cpp ${CMAKE_SOURCE_DIR}/tools/resgen/pictures.cpp ${CMAKE_SOURCE_DIR}/tools/resgen/clip.cpp
    ${CMAKE_SOURCE_DIR}/tools/resgen/setup_pictures.cpp ${CMAKE_SOURCE_DIR}/tools/resgen/writers16.cpp
)
