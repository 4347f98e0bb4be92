# Writes ProjectVersion.h, which the version record (quorvel.rc) and --version include, from the project's
# version; rc.exe and windres read the same header, so no build step of its own is needed.
if(NOT PROJECT_VERSION MATCHES "^([0-9]+)\\.([0-9][0-9])$")
  message(FATAL_ERROR "The project version must be MAJOR.MINOR with two minor digits, as 1.00; it is ${PROJECT_VERSION}")
endif()
# As numbers for the record's FILEVERSION: "05" would be octal to the preprocessor.
math(EXPR quorvel_version_major "${CMAKE_MATCH_1}")
math(EXPR quorvel_version_minor "${CMAKE_MATCH_2}")
set(quorvel_generated_dir ${PROJECT_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/ProjectVersion.h.in ${quorvel_generated_dir}/ProjectVersion.h @ONLY)
