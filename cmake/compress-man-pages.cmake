# Run by CPack on the staged package tree, before the package is made: compresses every manual
# page with `gzip -n -9` (no name or timestamp in the header, so the package is reproducible).
file(GLOB_RECURSE pages "${CPACK_TEMPORARY_DIRECTORY}/*/share/man/*.[1-9]")
foreach(page IN LISTS pages)
  execute_process(COMMAND gzip -n -9 -f "${page}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip ${page} failed")
  endif()
endforeach()
