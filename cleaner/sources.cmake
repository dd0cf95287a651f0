# Registry cleaner: path rules, scan tasks, key checks, scan engine and page.
list(APPEND QV_CORE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/PathRules.cpp)
