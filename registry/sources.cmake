# Registry foundation: the platform door, its in-memory and Win32 sides, root
# keys and paths, the recursive walk and the REG writer.
list(APPEND QV_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/AnsiText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MemoryPlatform.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RegistryPaths.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RegistryWalk.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RegWriter.cpp
)
list(APPEND QV_WIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Win32Platform.cpp
)
list(APPEND QV_WIN_SOURCES ${CMAKE_CURRENT_LIST_DIR}/RegeditBridge.cpp)
