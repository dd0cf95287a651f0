list(APPEND QV_CORE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/RegistryEntry.cpp)
list(APPEND QV_WIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/DeleteItems.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EditItemDialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ItemMenu.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ListFeeder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ListViewHelpers.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProgressWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RegistryItemList.cpp)
