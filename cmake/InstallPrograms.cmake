# Installs every program and shared library the project defines, whichever folder defines it,
# so that a new program is installed without a rule of its own. Tests and the benchmarks (built
# on request only) are not for users and stay out.
#
# The project's shared libraries (the sound-card engine) are its own, not the system's: they go
# to a folder of their own beneath the library folder, and each program finds them by a run
# path relative to itself, so an installed tree works wherever it is put.

set(TARVIS_INSTALL_PRIVATE_LIBDIR ${CMAKE_INSTALL_LIBDIR}/tarvis)

function(tarvis_collect_installable directory out_programs out_libraries)
    get_property(excluded DIRECTORY ${directory} PROPERTY EXCLUDE_FROM_ALL)
    if(excluded OR directory STREQUAL "${PROJECT_SOURCE_DIR}/tests")
        set(${out_programs} "" PARENT_SCOPE)
        set(${out_libraries} "" PARENT_SCOPE)
        return()
    endif()
    set(programs)
    set(libraries)
    get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        get_target_property(target_excluded ${target} EXCLUDE_FROM_ALL)
        if(target_excluded)
            continue()
        endif()
        if(type STREQUAL "EXECUTABLE")
            list(APPEND programs ${target})
        elseif(type STREQUAL "SHARED_LIBRARY" OR type STREQUAL "MODULE_LIBRARY")
            list(APPEND libraries ${target})
        endif()
    endforeach()
    get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
    foreach(subdirectory IN LISTS subdirectories)
        tarvis_collect_installable(${subdirectory} sub_programs sub_libraries)
        list(APPEND programs ${sub_programs})
        list(APPEND libraries ${sub_libraries})
    endforeach()
    set(${out_programs} ${programs} PARENT_SCOPE)
    set(${out_libraries} ${libraries} PARENT_SCOPE)
endfunction()

tarvis_collect_installable(${PROJECT_SOURCE_DIR} TARVIS_PROGRAMS TARVIS_SHARED_LIBRARIES)

file(RELATIVE_PATH bin_to_private_libdir /${CMAKE_INSTALL_BINDIR} /${TARVIS_INSTALL_PRIVATE_LIBDIR})
set_target_properties(${TARVIS_PROGRAMS} PROPERTIES INSTALL_RPATH "$ORIGIN/${bin_to_private_libdir}")
install(TARGETS ${TARVIS_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARVIS_SHARED_LIBRARIES)
    install(TARGETS ${TARVIS_SHARED_LIBRARIES}
        LIBRARY DESTINATION ${TARVIS_INSTALL_PRIVATE_LIBDIR})
endif()
