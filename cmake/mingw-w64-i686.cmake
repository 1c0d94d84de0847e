# Cross build for 32-bit Windows (i686): older service laptops run a 32-bit Windows, where a
# 64-bit program does not start at all.
set(tav_mingw_processor i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
