# The codec's sources, shared with the benchmark and fuzz builds, which compile it on its own.
set(TARVIS_PKLIB_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/Pklib.h
    ${CMAKE_CURRENT_LIST_DIR}/PklibTables.h
    ${CMAKE_CURRENT_LIST_DIR}/PklibCompress.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PklibDecompress.cpp)
