# Registry backups: the backup store and the backup page.
list(APPEND QV_CORE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/BackupStore.cpp)
list(APPEND QV_WIN_SOURCES ${CMAKE_CURRENT_LIST_DIR}/PageRegistryBackup.cpp)
