# Sources of the views group: what reads decoded records (cell texts,
# dialog values, filter, search, exports).
list(APPEND DECODE_SOURCES cell_texts.cpp dialog_values.cpp transaction_filter.cpp
     transaction_search.cpp text_append.cpp export_writer.cpp hex_dump.cpp export_text.cpp export_csv.cpp
     export_csv_row.cpp export_bytes.cpp export_json_lines.cpp
     waveform_overlays.cpp timing_marks.cpp error_timing_marks.cpp)
