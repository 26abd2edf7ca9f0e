# Runs write_icons --ico into a fresh FOLDER and compares what it writes with the CHECKED_IN
# icon byte for byte, so that the Windows programs carry the icon the window draws.
#
#     cmake -DWRITER=... -DCHECKED_IN=... -DFOLDER=... -P windows_icon_test.cmake
file(REMOVE_RECURSE ${FOLDER})
file(MAKE_DIRECTORY ${FOLDER})
execute_process(COMMAND ${WRITER} --ico ${FOLDER}/quorvel.ico RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "write_icons --ico failed: ${status}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${FOLDER}/quorvel.ico ${CHECKED_IN}
                RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
    message(FATAL_ERROR "${CHECKED_IN} is not the icon write_icons draws (${FOLDER}/quorvel.ico): "
                        "write it anew with the build target windows_icon")
endif()
