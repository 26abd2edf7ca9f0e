# The version resource and icon of the Windows programs (quorvel.rc.in, quorvel.ico beside
# this file). quorvel_windows_resources(TARGET) compiles them into the program TARGET.
#
# quorvel.ico is checked in, since the Windows build has no Qt to draw it: the build target
# windows_icon of a Linux build writes it anew with write_icons --ico, and a test there fails
# while the two differ.
function(quorvel_windows_resources target)
    set(QUORVEL_WINDOWS_ICON ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/quorvel.ico)
    set(rc ${PROJECT_BINARY_DIR}/packaging/windows/quorvel.rc)
    configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/quorvel.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
    set_source_files_properties(${rc} TARGET_DIRECTORY ${target}
                                PROPERTIES OBJECT_DEPENDS ${QUORVEL_WINDOWS_ICON})
endfunction()
