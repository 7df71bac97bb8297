# cmake -DROOT=<source root> -DFOLDERS=<folders in dependency order> [-DSHARED=<folders>] -P
# (lists separated by "|" or ";")
#
# Fails when a file of a source folder includes a header of a folder listed after it. Each
# folder owns the files directly in it; its sub-folders are folders of their own. Source files
# (not headers) of the SHARED folders may include headers of one another: they implement one
# class whose members are spread over those folders.
cmake_minimum_required(VERSION 3.25)

string(REPLACE "|" ";" FOLDERS "${FOLDERS}")
string(REPLACE "|" ";" SHARED "${SHARED}")
set(violations "")
list(LENGTH FOLDERS count)
foreach(rank RANGE 0 ${count})
    if(rank EQUAL count)
        break()
    endif()
    list(GET FOLDERS ${rank} folder)
    file(GLOB files LIST_DIRECTORIES false "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.cpp")
    foreach(file IN LISTS files)
        file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
        foreach(line IN LISTS lines)
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*$" "\\1" included "${line}")
            get_filename_component(dir "${included}" DIRECTORY)
            list(FIND FOLDERS "${dir}" other)
            if(other GREATER rank)
                if(file MATCHES "\\.cpp$" AND folder IN_LIST SHARED AND dir IN_LIST SHARED)
                    continue()
                endif()
                file(RELATIVE_PATH shown "${ROOT}" "${file}")
                string(APPEND violations "  ${shown} includes ${included} (${dir} comes after ${folder})\n")
            endif()
        endforeach()
    endforeach()
endforeach()

if(violations)
    message(FATAL_ERROR "A folder includes a header of a folder listed after it:\n${violations}")
endif()
