# cmake -DTOOL=trelliwick-solve [-DEMULATOR=runner] -DSCRATCH=dir -P trelliwick_solve_test.cmake
# Runs the tool on a small list: a normal run, a run that fails on its minimum
# length, a corrected run, a run on a list that is missing, and a word that JSON
# must escape. A message comes with its cause.

file(MAKE_DIRECTORY "${SCRATCH}")
file(WRITE "${SCRATCH}/words.txt" "Tree\r\nRate\r\nAxe\r\nTax\r\n")
execute_process(
    COMMAND ${EMULATOR} "${TOOL}" "${SCRATCH}/words.txt" e rtxa 4 e rtxa four "" "" 0
    OUTPUT_VARIABLE output RESULT_VARIABLE result)
set(message_text [["text":"File containing list of words - 'abc.txt' not found.","title":"trelliwick"}]])
set(message "{\"cause\":\"the minimum length \\\"four\\\" is not a number\",${message_text}")
set(expected "[\
{\"label2\":\"2\",\"label3\":\"1\",\"list2\":[\"Tree\",\"Rate\"],\"list3\":[\"Rate\"],\"message\":null},\
{\"label2\":\"2\",\"label3\":\"1\",\"list2\":[],\"list3\":[],\"message\":${message}},\
{\"label2\":\"4\",\"label3\":\"0\",\"list2\":[\"Tree\",\"Rate\",\"Axe\",\"Tax\"],\"list3\":[],\"message\":null}\
]\n")
if(result OR NOT output STREQUAL expected)
    message(FATAL_ERROR "trelliwick-solve printed\n${output}\ninstead of\n${expected}")
endif()

execute_process(COMMAND ${EMULATOR} "${TOOL}" "${SCRATCH}/missing.txt" e rtxa 4
                OUTPUT_VARIABLE output RESULT_VARIABLE result)
if(EMULATOR)
    # Windows says it in words of its own, which differ from one Windows to another.
    string(REGEX REPLACE "(missing.txt: )[^\"]+" "\\1No such file or directory" output "${output}")
endif()
set(missing "{\"cause\":\"${SCRATCH}/missing.txt: No such file or directory\",${message_text}")
set(expected "[{\"label2\":\"\",\"label3\":\"\",\"list2\":[],\"list3\":[],\"message\":${missing}}]\n")
if(result OR NOT output STREQUAL expected)
    message(FATAL_ERROR "trelliwick-solve printed\n${output}\ninstead of\n${expected}")
endif()

# Written byte for byte: a line feed ends the output, with no carriage return
# before it (which execute_process's own output would hide).
execute_process(COMMAND ${EMULATOR} "${TOOL}" "${SCRATCH}/words.txt" e "" 4
                OUTPUT_FILE "${SCRATCH}/output.json" RESULT_VARIABLE result)
file(READ "${SCRATCH}/output.json" bytes HEX)
if(result OR NOT bytes MATCHES "5d0a$" OR bytes MATCHES "0d0a")
    message(FATAL_ERROR "trelliwick-solve wrote the bytes ${bytes}")
endif()

# Arguments in any script reach the tool whole: a folder and a letter that no
# Western code page holds.
file(WRITE "${SCRATCH}/Łukasz/words.txt" "Łódź\r\nLodz\r\n")
execute_process(COMMAND ${EMULATOR} "${TOOL}" "${SCRATCH}/Łukasz/words.txt" "ł" "" 0
                OUTPUT_VARIABLE output RESULT_VARIABLE result)
set(expected [=[[{"label2":"1","label3":"0","list2":["Łódź"],"list3":[],"message":null}]]=])
if(result OR NOT output STREQUAL "${expected}\n")
    message(FATAL_ERROR "trelliwick-solve printed\n${output}\ninstead of\n${expected}")
endif()

# Quotes, backslashes and control characters in a word are escaped, the last of
# them too, in lower-case hexadecimal.
string(ASCII 1 31 controls)
file(WRITE "${SCRATCH}/odd.txt" "a\"b\\c${controls}\r\n")
execute_process(COMMAND ${EMULATOR} "${TOOL}" "${SCRATCH}/odd.txt" "" "" 0
                OUTPUT_VARIABLE output RESULT_VARIABLE result)
set(expected [=[[{"label2":"1","label3":"0","list2":["a\"b\\c\u0001\u001f"],"list3":[],"message":null}]]=])
if(result OR NOT output STREQUAL "${expected}\n")
    message(FATAL_ERROR "trelliwick-solve printed\n${output}\ninstead of\n${expected}")
endif()

# Output far beyond what the tool gathers before writing: a word longer than that,
# with an escape in its middle, and many short words after it.
string(REPEAT "x" 70000 long)
string(REPEAT "ab\r\n" 30000 many)
file(WRITE "${SCRATCH}/long.txt" "${long}\"${long}\r\n${many}")
execute_process(COMMAND ${EMULATOR} "${TOOL}" "${SCRATCH}/long.txt" "" "" 0
                OUTPUT_VARIABLE output RESULT_VARIABLE result)
string(REPEAT [["ab",]] 29999 words)
set(expected "[{\"label2\":\"30001\",\"label3\":\"0\",\"list2\":[\"${long}\\\"${long}\",${words}\"ab\"],\"list3\":[],\"message\":null}]\n")
if(result OR NOT output STREQUAL expected)
    string(LENGTH "${output}" printed)
    string(LENGTH "${expected}" wanted)
    message(FATAL_ERROR "trelliwick-solve printed ${printed} bytes unlike the ${wanted} expected")
endif()

execute_process(COMMAND ${EMULATOR} "${TOOL}" "${SCRATCH}/words.txt" e rtxa RESULT_VARIABLE result
                OUTPUT_QUIET ERROR_QUIET)
if(NOT result EQUAL 2)
    message(FATAL_ERROR "an incomplete triple did not give the usage error")
endif()

# Output that cannot be written is a failure, told by the exit code, not a crash.
if(EXISTS /dev/full)
    execute_process(COMMAND ${EMULATOR} "${TOOL}" "${SCRATCH}/words.txt" e rtxa 4 OUTPUT_FILE /dev/full
                    RESULT_VARIABLE result ERROR_QUIET)
    if(NOT result EQUAL 1)
        message(FATAL_ERROR "writing to a full disk ended with ${result}, not 1")
    endif()
endif()
