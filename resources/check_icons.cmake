# Renders the icons afresh and checks that the committed ones are the same bytes.
execute_process(COMMAND ${PYTHON} ${SOURCE}/scripts/render_icons.py ${OUTPUT} COMMAND_ERROR_IS_FATAL ANY)
foreach(name quorvel-16.png quorvel-32.png quorvel-48.png quorvel-256.png quorvel.ico)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT}/${name} ${SOURCE}/resources/icons/${name}
        RESULT_VARIABLE different)
    if(different)
        message(FATAL_ERROR "resources/icons/${name} is not what scripts/render_icons.py renders from quorvel.xpm")
    endif()
endforeach()
