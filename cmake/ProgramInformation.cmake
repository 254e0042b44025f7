# What the program knows about its own build and about its maker's server:
# a generated header with the addresses and the build's version and compiler,
# and "BuildInfo.ini" written beside the program when the build is configured.

set(TQ_SITE_ROOT "https://tarnquill.example.invalid" CACHE STRING
  "Address of the maker's web site, without a trailing slash")
set(TQ_SUPPORT_MAIL_FIRST "support@tarnquill.example.invalid" CACHE STRING
  "Support address that receives bug reports")
set(TQ_SUPPORT_MAIL_SECOND "feedback@tarnquill.example.invalid" CACHE STRING
  "Support address that receives user feedback")
string(REGEX REPLACE "/+$" "" TQ_SITE_ROOT_TRIMMED "${TQ_SITE_ROOT}")

set(TQ_COMPILER_INFO "${CMAKE_CXX_COMPILER_ID} ${CMAKE_CXX_COMPILER_VERSION}")
set(TQ_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/ProgramBuildConfig.h.in
  ${TQ_GENERATED_DIR}/ProgramBuildConfig.h @ONLY)
if(TARGET tq_account)
  target_include_directories(tq_account PUBLIC ${TQ_GENERATED_DIR})
else()
  target_include_directories(tarnquillcore PUBLIC ${TQ_GENERATED_DIR})
endif()

# BuildInfo.ini: one key=value per line, no blanks around "=" and no "=" in a value.
string(TIMESTAMP TQ_BUILD_TIMESTAMP "%Y-%m-%d %H:%M:%S")
set(TQ_BUILD_HASH unknown)
find_package(Git QUIET)
if(GIT_FOUND)
  execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse HEAD
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    OUTPUT_VARIABLE tq_git_hash OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE tq_git_result ERROR_QUIET)
  if(tq_git_result EQUAL 0 AND tq_git_hash MATCHES "^[0-9a-f]+$")
    set(TQ_BUILD_HASH ${tq_git_hash})
  endif()
endif()
set(TQ_BUILD_OS "${CMAKE_HOST_SYSTEM_NAME} ${CMAKE_HOST_SYSTEM_VERSION}")
if(NOT CMAKE_VERSION VERSION_LESS 3.22)
  cmake_host_system_information(RESULT tq_distribution QUERY DISTRIB_PRETTY_NAME)
  if(tq_distribution)
    set(TQ_BUILD_OS "${tq_distribution}, ${TQ_BUILD_OS}")
  endif()
endif()
foreach(value TQ_COMPILER_INFO TQ_BUILD_OS)
  string(REPLACE "=" "-" ${value} "${${value}}")
endforeach()
configure_file(${CMAKE_CURRENT_LIST_DIR}/BuildInfo.ini.in ${CMAKE_BINARY_DIR}/bin/BuildInfo.ini @ONLY)
