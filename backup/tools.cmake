# The suite's registry editor, Tools\Regedit.exe in the program folder: a
# small GUI program that hands its command line to the system's own editor.
add_executable(QuorvaneRegedit WIN32 ${CMAKE_CURRENT_LIST_DIR}/RegeditTool.cpp)
target_include_directories(QuorvaneRegedit PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(QuorvaneRegedit PRIVATE shell32)
set_target_properties(QuorvaneRegedit PROPERTIES
    OUTPUT_NAME Regedit
    RUNTIME_OUTPUT_DIRECTORY ${QV_PROGRAM_DIR}/Tools)
# Whatever needs the program (its tests among them) gets its editor as well.
add_dependencies(Quorvane QuorvaneRegedit)
