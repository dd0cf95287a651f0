# Registry search: the platform-free search engine and the search page.
list(APPEND QV_CORE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/SearchEngine.cpp)
list(APPEND QV_WIN_SOURCES ${CMAKE_CURRENT_LIST_DIR}/PageRegistrySearch.cpp)
