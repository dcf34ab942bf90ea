# Prints a built file's name and size in bytes.
file(SIZE "${FILE}" size)
get_filename_component(name "${FILE}" NAME)
math(EXPR kib "(${size} + 1023) / 1024")
message(STATUS "${name}: ${size} bytes (${kib} KiB)")
