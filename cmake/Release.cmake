# The release being built, as its latest Debian changelog entry gives it: the changelog is where
# each release and its date are written, and the metainfo and the manual page take the date from
# there. Who maintains the package is a cache variable, for the changelog and the package.
set(SCARICOMETRO_MAINTAINER "Scaricometro developers <developers@scaricometro.org>"
    CACHE STRING "Maintainer of the Debian package: \"Name <address>\"")

# Sets SCARICOMETRO_RELEASE_DATE (2026-12-08) and SCARICOMETRO_RELEASE_MONTH (December 2026).
function(scaricometro_read_release)
    file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog.in lines)
    list(GET lines 0 heading)
    if(NOT heading MATCHES "^scaricometro \\(([^)]+)\\)")
        message(FATAL_ERROR "packaging/changelog.in must begin with \"scaricometro (VERSION) ...\"")
    endif()
    if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
        message(FATAL_ERROR "The latest changelog entry is for ${CMAKE_MATCH_1}, the project is ${PROJECT_VERSION}")
    endif()
    list(FILTER lines INCLUDE REGEX "^ -- ")
    list(GET lines 0 signature)
    if(NOT signature MATCHES ", ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
        message(FATAL_ERROR "The latest changelog entry has no date: ${signature}")
    endif()
    set(day ${CMAKE_MATCH_1})
    set(year ${CMAKE_MATCH_3})
    set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
    set(month_names January February March April May June July August September October November December)
    list(FIND months ${CMAKE_MATCH_2} month_index)
    list(GET month_names ${month_index} month_name)
    math(EXPR month "${month_index} + 101")  # 101 to 112: the month with a leading zero, after the 1
    string(SUBSTRING ${month} 1 2 month)
    set(SCARICOMETRO_RELEASE_DATE "${year}-${month}-${day}" PARENT_SCOPE)
    set(SCARICOMETRO_RELEASE_MONTH "${month_name} ${year}" PARENT_SCOPE)
endfunction()
scaricometro_read_release()
