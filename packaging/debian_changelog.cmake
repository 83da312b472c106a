# The Debian changelog of the packages, packaging/changelog.in, in the form Debian
# expects of a native package: filled in with the maintainer, installed as
# changelog.gz. Its newest entry must be the project version, so that a version
# bump comes with its entry. Sets
#   VOSYNCLOC_CHANGELOG        the filled-in changelog in the build tree;
#   VOSYNCLOC_CHANGELOG_EPOCH  its newest entry's date in seconds since the epoch: the
#                              packages' time stamps when there is no git history.
set(vosyncloc_changelog_in ${PROJECT_SOURCE_DIR}/packaging/changelog.in)

file(STRINGS ${vosyncloc_changelog_in} vosyncloc_newest LIMIT_COUNT 1)
if(NOT vosyncloc_newest MATCHES "^vosyncloc \\(([^)]+)\\) ")
    message(FATAL_ERROR "${vosyncloc_changelog_in}: the first line is no entry heading")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "${vosyncloc_changelog_in}: the newest entry is ${CMAKE_MATCH_1}, "
                        "the project version ${PROJECT_VERSION}: add an entry for it")
endif()

file(STRINGS ${vosyncloc_changelog_in} vosyncloc_trailer REGEX "^ -- " LIMIT_COUNT 1)
if(NOT vosyncloc_trailer MATCHES "^ -- .*  ([^ ].*)$")
    message(FATAL_ERROR "${vosyncloc_changelog_in}: the newest entry has no trailer line")
endif()
execute_process(
    COMMAND date -u -d "${CMAKE_MATCH_1}" +%s
    OUTPUT_VARIABLE VOSYNCLOC_CHANGELOG_EPOCH
    OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE vosyncloc_date_failed)
if(vosyncloc_date_failed OR NOT VOSYNCLOC_CHANGELOG_EPOCH MATCHES "^[0-9]+$")
    message(FATAL_ERROR "${vosyncloc_changelog_in}: cannot read the date '${CMAKE_MATCH_1}'")
endif()

set(VOSYNCLOC_CHANGELOG ${CMAKE_BINARY_DIR}/packaging/changelog)
configure_file(${vosyncloc_changelog_in} ${VOSYNCLOC_CHANGELOG} @ONLY)
