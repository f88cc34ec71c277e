# Sources of the statistics group: the compliance summary of the listed
# transactions (traffic, remarks, timing table, bus speed).
list(APPEND DECODE_SOURCES bus_statistics.cpp timing_statistics.cpp clock_periods.cpp)
