# Copies every shipped data file (not the generated C++ tables) from SRC to DST.
file(GLOB entries RELATIVE ${SRC} ${SRC}/*)
foreach(entry IN LISTS entries)
  if(entry STREQUAL "generated" OR IS_DIRECTORY ${SRC}/${entry})
    continue()
  endif()
  file(COPY_FILE ${SRC}/${entry} ${DST}/${entry} ONLY_IF_DIFFERENT)
endforeach()
