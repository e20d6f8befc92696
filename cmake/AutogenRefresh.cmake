# AUTOMOC under Ninja (CMake 3.25) does not rerun when a header is added to an existing target,
# so an incremental build misses the new moc code. Forget the target's moc timestamp whenever
# its list of sources changes.
function(sievewright_refresh_autogen target)
    get_target_property(sources ${target} SOURCES)
    string(SHA1 digest "${sources}")
    get_target_property(binaryDir ${target} BINARY_DIR)
    set(record ${binaryDir}/CMakeFiles/${target}_sources.sha1)
    set(old "")
    if(EXISTS ${record})
        file(READ ${record} old)
    endif()
    if(NOT old STREQUAL digest)
        file(REMOVE ${binaryDir}/${target}_autogen/timestamp)
        file(WRITE ${record} ${digest})
    endif()
endfunction()
