# The "debian" install component, which cpack installs into the package's staging tree after
# everything else: adds the files that a Debian package carries beside the program (the copyright file, the
# changelog, lintian's overrides) and compresses the manual pages as Debian wants them.
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(source "${SSDTOOL_DEBIAN_DIR}")
set(doc "${root}/share/doc/ssdtool")
find_program(GZIP gzip REQUIRED)

# Best compression, and no name or time stamp inside: the same input makes the same package.
function(gzip_in_place file)
  execute_process(COMMAND ${GZIP} -9nf "${file}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip ${file} failed")
  endif()
endfunction()

file(COPY "${source}/copyright" DESTINATION "${doc}"
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
file(COPY "${source}/changelog" DESTINATION "${doc}"
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
gzip_in_place("${doc}/changelog")
if(EXISTS "${source}/lintian-overrides")
  file(COPY "${source}/lintian-overrides" DESTINATION "${root}/share/lintian/overrides"
       FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  file(RENAME "${root}/share/lintian/overrides/lintian-overrides" "${root}/share/lintian/overrides/ssdtool")
endif()

# The manual page is installed as built (plain troff) wherever the project installs it.
file(GLOB_RECURSE pages "${root}/share/man/*.[1-9]")
foreach(page IN LISTS pages)
  gzip_in_place("${page}")
endforeach()
