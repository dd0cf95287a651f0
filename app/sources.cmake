list(APPEND QV_WIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/AboutDialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DialogLayout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HeaderBanner.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MainWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Page.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PageHost.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Splitter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WebLink.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Win32Handles.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WindowUtil.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WorkerThread.cpp)
list(APPEND QV_WIN_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/cleaner/PageRegistryCleaner.cpp)
