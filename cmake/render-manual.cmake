# Renders the manual page as plain text for the Windows package, at build
# time: cmake -DGROFF=... -DIN=qndl.1 -DOUT=MANUAL.txt -P render-manual.cmake
# grotty's -c -b -o -u give plain characters without overstriking, so no
# filter such as col is needed; the text gets CR LF line ends for Windows
# editors.
execute_process(COMMAND ${GROFF} -man -Tascii -P-c -P-b -P-o -P-u ${IN}
                OUTPUT_VARIABLE text RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "rendering ${IN} with ${GROFF} failed (${status})")
endif()
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${OUT} "${text}")
