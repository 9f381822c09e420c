# Prepares, once per test run, the tables that the tests' runs of the
# binary read: the directory is wiped, the shipped isolated-atom densities
# are copied into it, and the binary generates the collision, electron
# density and stopping tables of the tests' element sets.  Each test then
# works on a copy of its own (TablesEnvironment in test_support).
#
#   cmake -DORVANE=<binary> -DSOURCE=<source dir> -DTABLES=<table dir> -P prepare_test_tables.cmake
foreach(variable ORVANE SOURCE TABLES)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "prepare_test_tables: ${variable} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE "${TABLES}")
file(MAKE_DIRECTORY "${TABLES}/work")
file(GLOB densities "${SOURCE}/Tables/N*.den")
file(COPY ${densities} DESTINATION "${TABLES}")
set(ENV{TABLES3DDIR} "${TABLES}/")
set(ENV{EDTDIR} "${TABLES}/")

# The last file lists every element with no ion: its set-up converts the
# text tables that the others generated into binary ones.
set(data "${SOURCE}/tests/e2e/data")
foreach(input prepare_tables.in tables_molecule.in tables_oxide.in tables_convert.in)
  execute_process(COMMAND "${ORVANE}" "${data}/${input}"
                  WORKING_DIRECTORY "${TABLES}/work"
                  RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "prepare_test_tables: ${input} ended with ${status}\n${errors}")
  endif()
endforeach()
file(REMOVE_RECURSE "${TABLES}/work")
