# The forms runtime, the screens and the scripted driver: every source file under src/ that is
# not part of the maths library and is not the program's entry point.
file(GLOB_RECURSE DSPLAB_UI_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/forms/*.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/app/*.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/synthesis/*.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/harmonics/*.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/fir/*.cpp)
foreach(core_source ${DSPLAB_CORE_SOURCES} app/main.cpp)
  list(REMOVE_ITEM DSPLAB_UI_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/${core_source})
endforeach()
