# cmake -DIMAGE=<file> -DSYMBOL=<name> -DOUTPUT=<file.S> -P EmbedFileImage.cmake
# Writes an assembler source that carries the bytes of IMAGE in read-only data
# between the symbols <name>_begin and <name>_end. The build runs it again
# whenever IMAGE changes; the assembler reads the bytes itself (.incbin), so
# nothing of the image passes through CMake or the compiler cache.
foreach(required IMAGE SYMBOL OUTPUT)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "EmbedFileImage.cmake: ${required} is not set")
  endif()
endforeach()
file(WRITE ${OUTPUT}
"/* Generated from ${IMAGE}; do not edit. */
  .section .rodata.${SYMBOL},\"a\"
  .balign 16
  .globl ${SYMBOL}_begin
  .hidden ${SYMBOL}_begin
${SYMBOL}_begin:
  .incbin \"${IMAGE}\"
  .globl ${SYMBOL}_end
  .hidden ${SYMBOL}_end
${SYMBOL}_end:
  .section .note.GNU-stack,\"\",@progbits
")
