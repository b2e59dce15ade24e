# cmake -DFILES=a|b|... -DREGEX=... -DWHY=... -P CheckIncludes.cmake
# Fails when an #include line of one of FILES matches REGEX.
string(REPLACE "|" ";" files "${FILES}")
foreach(file IN LISTS files)
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS includes)
        if(line MATCHES "${REGEX}")
            message(FATAL_ERROR "${file}: ${line}\n${WHY}")
        endif()
    endforeach()
endforeach()
