# Registry cleaner: path rules, scan tasks, key checks, scan engine and page.
list(APPEND QV_CORE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/PathRules.cpp)
list(APPEND QV_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/ScanContext.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ValueChecks.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KeyChecks.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ScanTasks.cpp
)
