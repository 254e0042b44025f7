# Lays out the folder a user runs Tarnquill from, from the freshly built one:
#
#   cmake -DFROM=build/bin -DTO=build/program -DMANIFEST=build/program.manifest \
#         -P cmake/LayOutProgramFolder.cmake
#
# The program writes into its own folder (words added to the white or black
# list go into Dictionary/*.db, templates are saved under Templates/), so a
# rebuild must not simply copy over it. Every file of FROM is copied to TO when
# TO lacks it, or when TO still holds exactly what an earlier layout put there
# (its checksum is in MANIFEST). A file the user changed is kept and named on
# the output, with the new one's path beside it. Files of TO that FROM does not
# have (the user's own) are left alone.
cmake_minimum_required(VERSION 3.21)

foreach(var FROM TO MANIFEST)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "LayOutProgramFolder: -D${var}=… is required")
  endif()
endforeach()
get_filename_component(FROM "${FROM}" ABSOLUTE)
get_filename_component(TO "${TO}" ABSOLUTE)
if(NOT IS_DIRECTORY "${FROM}")
  message(FATAL_ERROR "LayOutProgramFolder: ${FROM} is not a folder")
endif()

# What earlier layouts installed: "<sha256> <relative path>" per line.
set(installed_paths)
if(EXISTS "${MANIFEST}")
  file(STRINGS "${MANIFEST}" manifest_lines ENCODING UTF-8)
  foreach(line IN LISTS manifest_lines)
    if(line MATCHES "^([0-9a-f]+) (.+)$")
      set(path "${CMAKE_MATCH_2}")
      string(MD5 key "${path}")
      set("installed_${key}" "${CMAKE_MATCH_1}")
      list(APPEND installed_paths "${path}")
    endif()
  endforeach()
endif()

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${FROM}" "${FROM}/*")
list(SORT files)
set(copied 0)
set(kept 0)
set(new_manifest "")
foreach(path IN LISTS files)
  file(SHA256 "${FROM}/${path}" built)
  string(MD5 key "${path}")
  set(recorded "${installed_${key}}")
  set(target "${TO}/${path}")
  if(EXISTS "${target}" AND NOT IS_DIRECTORY "${target}")
    file(SHA256 "${target}" present)
  else()
    set(present "")
  endif()

  if(present STREQUAL built)
    set(recorded "${built}")
  elseif(present STREQUAL "" OR present STREQUAL recorded)
    get_filename_component(folder "${target}" DIRECTORY)
    file(MAKE_DIRECTORY "${folder}")
    # Into a neighbour first, then renamed over: a half-copied database is never seen.
    file(COPY_FILE "${FROM}/${path}" "${target}.layout-new" RESULT failure)
    if(failure)
      message(FATAL_ERROR "LayOutProgramFolder: cannot copy ${path} to ${TO}: ${failure}")
    endif()
    file(RENAME "${target}.layout-new" "${target}")
    set(recorded "${built}")
    math(EXPR copied "${copied} + 1")
  else()
    # Changed by the user (or put there by hand before any layout): theirs stays.
    message(STATUS "Kept your changed ${TO}/${path}; the newly built one is ${FROM}/${path}")
    math(EXPR kept "${kept} + 1")
  endif()
  if(NOT recorded STREQUAL "")
    string(APPEND new_manifest "${recorded} ${path}\n")
  endif()
  list(REMOVE_ITEM installed_paths "${path}")
endforeach()

# Files an earlier build had and this one has not keep their record.
foreach(path IN LISTS installed_paths)
  string(MD5 key "${path}")
  string(APPEND new_manifest "${installed_${key}} ${path}\n")
endforeach()
file(WRITE "${MANIFEST}.new" "${new_manifest}")
file(RENAME "${MANIFEST}.new" "${MANIFEST}")
message(STATUS "Program folder ${TO}: ${copied} file(s) brought up to date, ${kept} changed by you kept")
