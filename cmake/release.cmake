# The release being built: its version (the project's, the one place it is
# written), the changelog entry that must name it, and the time its files
# carry.

# Upgrade tests need a later release than this one from the same sources:
# a test build with a higher patch number. Never set for a release.
set(TPC_TEST_PATCH "" CACHE STRING "Build as a test release with this patch number (upgrade tests only)")
if(NOT TPC_TEST_PATCH STREQUAL "")
  if(NOT TPC_TEST_PATCH MATCHES "^[0-9]+$")
    message(FATAL_ERROR "TPC_TEST_PATCH: not a number: ${TPC_TEST_PATCH}")
  endif()
  set(PROJECT_VERSION_PATCH ${TPC_TEST_PATCH})
  set(PROJECT_VERSION
      ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.${PROJECT_VERSION_TWEAK})
  message(STATUS "A test build, version ${PROJECT_VERSION}: not a release")
endif()

# The changelog's top entry is the release being built: every edition stops
# when it names another version. Its date is the release date software
# centres show.
set(TPC_CHANGELOG ${PROJECT_SOURCE_DIR}/packaging/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TPC_CHANGELOG})
file(STRINGS ${TPC_CHANGELOG} TPC_CHANGELOG_TOP LIMIT_COUNT 1)
file(STRINGS ${TPC_CHANGELOG} TPC_CHANGELOG_TRAILERS REGEX "^ -- ")
list(GET TPC_CHANGELOG_TRAILERS 0 TPC_CHANGELOG_TRAILER)
if(NOT TPC_CHANGELOG_TOP MATCHES "^tavrino-pcap-converter \\(${PROJECT_VERSION}\\) " AND TPC_TEST_PATCH STREQUAL "")
  message(FATAL_ERROR "packaging/changelog: its first entry is not version ${PROJECT_VERSION}: ${TPC_CHANGELOG_TOP}")
endif()
if(NOT TPC_CHANGELOG_TRAILER MATCHES ", ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
  message(FATAL_ERROR "packaging/changelog: no date in its first entry's trailer: ${TPC_CHANGELOG_TRAILER}")
endif()
set(TPC_RELEASE_DAY ${CMAKE_MATCH_1})
set(TPC_RELEASE_YEAR ${CMAKE_MATCH_3})
set(TPC_MONTHS Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND TPC_MONTHS ${CMAKE_MATCH_2} TPC_RELEASE_MONTH)
math(EXPR TPC_RELEASE_MONTH "${TPC_RELEASE_MONTH} + 1")
if(TPC_RELEASE_MONTH LESS 10)
  set(TPC_RELEASE_DATE ${TPC_RELEASE_YEAR}-0${TPC_RELEASE_MONTH}-${TPC_RELEASE_DAY})
else()
  set(TPC_RELEASE_DATE ${TPC_RELEASE_YEAR}-${TPC_RELEASE_MONTH}-${TPC_RELEASE_DAY})
endif()

# The time written into archives and installers instead of the clock's or a
# file's, so that two builds of one commit give the same bytes: the caller's
# SOURCE_DATE_EPOCH, else the last commit's time, else (a source archive,
# no git) midnight UTC of the release date.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(TPC_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
  execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} log -1 --format=%ct
                  OUTPUT_VARIABLE TPC_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE git_status ERROR_QUIET)
  if(NOT git_status EQUAL 0 OR NOT TPC_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    # Days since 1970-01-01 of a civil date (March-based years).
    set(y ${TPC_RELEASE_YEAR})
    if(TPC_RELEASE_MONTH LESS_EQUAL 2)
      math(EXPR y "${y} - 1")
    endif()
    math(EXPR m "(${TPC_RELEASE_MONTH} + 9) % 12")
    math(EXPR days "365 * ${y} + ${y} / 4 - ${y} / 100 + ${y} / 400 + (153 * ${m} + 2) / 5 + ${TPC_RELEASE_DAY} - 1 - 719468")
    math(EXPR TPC_SOURCE_DATE_EPOCH "${days} * 86400")
  endif()
endif()
if(NOT TPC_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH: not a number of seconds: ${TPC_SOURCE_DATE_EPOCH}")
endif()

# For the Windows version resources, which cannot take a string from the
# compiler's command line.
set(TPC_VERSION_INCLUDE_DIR ${PROJECT_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/tpc_version.h.in ${TPC_VERSION_INCLUDE_DIR}/tpc_version.h @ONLY)

# A copy of a file whose text names a version, each one matched right after
# PREFIX (a regular expression), with the release's instead: the manifests'
# own assembly versions, the man pages' headers, the Windows README. Their
# sources keep the literal that the first release had; builds always write
# over it, and line ends stay as they are.
function(tpc_versioned_copy source output prefix)
  file(READ ${source} text)
  if(NOT text MATCHES "(${prefix})[0-9]+(\\.[0-9]+)*")
    message(FATAL_ERROR "${source}: no version after ${prefix}")
  endif()
  string(REGEX REPLACE "(${prefix})[0-9]+(\\.[0-9]+)*" "\\1${PROJECT_VERSION}" text "${text}")
  # file(READ) drops the CR of CR LF: line ends as the source has them.
  file(READ ${source} bytes HEX)
  if(bytes MATCHES "^(..)*0d0a")
    string(REPLACE "\n" "\r\n" text "${text}")
  endif()
  file(WRITE ${output}.new "${text}")
  file(COPY_FILE ${output}.new ${output} ONLY_IF_DIFFERENT)
  file(REMOVE ${output}.new)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
endfunction()
